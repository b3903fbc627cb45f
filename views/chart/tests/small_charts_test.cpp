// The small charts of the fund data window and of the fund portrait.

#include <gtest/gtest.h>

#include "views/chart/SmallCharts.h"

namespace tellurio::chart {
namespace {

class FixedMetrics : public TextMetrics {
 public:
  int Height() const override { return 10; }
  int Width(std::string_view text) const override { return 6 * static_cast<int>(text.size()); }
};

TEST(FundDataChart, PointsSpanThePlotAndSkipZeroPrices) {
  const std::vector<std::string> rows = {"1", "10,00", "2", "0", "3", "20,00", "4", "15,00"};
  const FundDataChartLayout g = LayoutFundDataChart(rows, Rect{0, 0, 110, 60});
  // W = 100, H = 50, scale = 10 / 50; three prices plotted, dx = 33,3:
  // x = 5 + 0, 5 + 33, 5 + 66.
  ASSERT_EQ(g.points.size(), 3u);
  EXPECT_EQ(g.points[0], (Point{5, 55}));
  EXPECT_EQ(g.points[1], (Point{38, 5}));
  EXPECT_EQ(g.points[2], (Point{71, 30}));
  EXPECT_EQ(g.valueAxis, (Line{{5, 55}, {5, 5}}));
  EXPECT_EQ(g.timeAxis, (Line{{5, 55}, {105, 55}}));

  // A flat series lies on the bottom axis.
  const FundDataChartLayout flat = LayoutFundDataChart({"1", "5,00", "2", "5,00"}, Rect{0, 0, 110, 60});
  ASSERT_EQ(flat.points.size(), 2u);
  EXPECT_EQ(flat.points[1].y, 55);
  EXPECT_TRUE(LayoutFundDataChart({}, Rect{0, 0, 110, 60}).points.empty());
  EXPECT_TRUE(LayoutFundDataChart({"1", "0"}, Rect{0, 0, 110, 60}).points.empty());
}

TEST(FundDataChart, LongSeriesAreSampledToThePlotWidth) {
  std::vector<std::string> rows;
  for (int i = 0; i < 1000; ++i) {
    rows.push_back("d");
    rows.push_back(std::to_string(100 + i % 7) + ",00");
  }
  const FundDataChartLayout g = LayoutFundDataChart(rows, Rect{0, 0, 110, 60});
  EXPECT_EQ(g.points.size(), 100u);  // every tenth row
  EXPECT_LE(g.points.back().x, 105);
  for (const Point& p : g.points) {
    EXPECT_GE(p.y, 5);
    EXPECT_LE(p.y, 55);
  }
}

// 5000 prices in the window's 290 x 125 area: W = 280, the row index
// advances by the truncation of index + 17,86, that is by 17, so rows 0,
// 17, ..., 4998 are plotted: 295 points, each 280 / 295 = 0,949 further
// right.  The last one lies at 5 + trunc(294 * 0,949) = 5 + 279.  A step
// cut to whole units at every point never moved from x = 5.
TEST(FundDataChart, MorePointsThanColumnsStillSpreadOverThePlot) {
  std::vector<std::string> rows;
  for (int i = 0; i < 5000; ++i) {
    rows.push_back("d");
    rows.push_back(std::to_string(40 + i % 13) + ",50");
  }
  const FundDataChartLayout g = LayoutFundDataChart(rows, Rect{0, 0, 290, 125});
  ASSERT_EQ(g.points.size(), 295u);
  EXPECT_EQ(g.points.front().x, 5);
  EXPECT_EQ(g.points.back().x, 284);
  EXPECT_EQ(g.points[148].x, 5 + 140);  // 148 * 280 / 295 = 140,47
  for (size_t i = 1; i < g.points.size(); ++i) ASSERT_GE(g.points[i].x, g.points[i - 1].x);
}

TEST(PercentChart, RoundSteps) {
  EXPECT_DOUBLE_EQ(RoundStep(27, 4), 10);     // 6,75 -> 10
  EXPECT_DOUBLE_EQ(RoundStep(0.9, 4), 0.25);  // 0,225 -> 0,25
  EXPECT_DOUBLE_EQ(RoundStep(8, 4), 2);
  EXPECT_DOUBLE_EQ(RoundStep(0, 4), 1);
}

// Values -2, 10 and 25 in 400 x 200, labels 10 high, 6 per character:
//   step 10, axis -10 % .. 30 %; left edge 8 * 6 + 10 = 58; month labels
//   50 wide; plot 58..370 (313 wide) and 8..179 (172 high);
//   y(v) = 179 - (v + 10) / 40 * 172: y(-10) = 179, y(0) = 136, y(30) = 7.
TEST(PercentChart, MarksAtRoundStepsWithTheZeroLine) {
  const FixedMetrics font;
  const PercentChartLayout g = LayoutPercentChart({"01/2026", "02/2026", "03/2026"}, {{-2, 10, 25}}, 400, 200, font);
  ASSERT_FALSE(g.empty);
  EXPECT_EQ(g.plotLeft, 58);
  EXPECT_EQ(g.plotRight, 370);
  EXPECT_EQ(g.plotTop, 8);
  EXPECT_EQ(g.plotBottom, 179);
  ASSERT_EQ(g.marks.size(), 5u);
  EXPECT_EQ(g.marks[0].text, "-10 %");
  EXPECT_EQ(g.marks[1].text, "0 %");
  EXPECT_TRUE(g.marks[1].zero);
  EXPECT_EQ(g.marks[4].text, "30 %");
  EXPECT_DOUBLE_EQ(g.marks[0].y, 179);
  EXPECT_DOUBLE_EQ(g.marks[1].y, 136);
  EXPECT_DOUBLE_EQ(g.marks[4].y, 7);
  ASSERT_EQ(g.labels.size(), 3u);
  EXPECT_DOUBLE_EQ(g.labels[1].x, 58 + 313 / 2.0);
  ASSERT_EQ(g.lines.size(), 1u);
  EXPECT_DOUBLE_EQ(g.lines[0][0].y, 179 - 8.0 / 40 * 172);

  // A step of 0,25 is written with two decimals, to the nearest value.
  const PercentChartLayout small = LayoutPercentChart({"01/2026", "02/2026"}, {{0.1, 0.9}}, 400, 200, font);
  ASSERT_EQ(small.marks.size(), 5u);
  EXPECT_EQ(small.marks[1].text, "0,25 %");
  EXPECT_EQ(small.marks[4].text, "1,00 %");
  EXPECT_TRUE(LayoutPercentChart({}, {{1}}, 400, 200, font).empty);
}

}  // namespace
}  // namespace tellurio::chart
