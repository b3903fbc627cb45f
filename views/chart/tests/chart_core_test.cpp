// The chart core with literal numbers: a small chart worked out by hand,
// the window of a long series, zoom and scrolling, flat and negative
// series, the moving averages, the value display and the printer spacing.

#include <gtest/gtest.h>

#include <set>

#include "calendar/NumberText.h"
#include "views/chart/ChartCore.h"

namespace tellurio::chart {
namespace {

// Every character 6 units wide; a line `height` units high.
class FixedMetrics : public TextMetrics {
 public:
  explicit FixedMetrics(int height) : height_(height) {}
  int Height() const override { return height_; }
  int Width(std::string_view text) const override { return 6 * static_cast<int>(text.size()); }

 private:
  int height_;
};

const FixedMetrics kTitle(14), kAxis(10);

// Texts alternating date and value.
std::vector<std::string> Rows(const std::vector<double>& values) {
  std::vector<std::string> rows;
  for (size_t i = 0; i < values.size(); ++i) {
    rows.push_back("0" + std::to_string(1 + i % 9) + ".01.2020");
    rows.push_back(FormatNumber(values[i], 2));
  }
  return rows;
}

ChartLayout Layout(ChartKind kind, const std::vector<std::string>& series, Rect area, ScrollState& scroll,
                   Medium medium = Medium::Screen) {
  ChartInput in;
  in.kind = kind;
  in.fund = "Alpha";
  in.medium = medium;
  return LayoutChart(in, series, area, kTitle, kAxis, scroll);
}

const std::vector<std::string> kFive = {"01.01.2020", "10,00",      "02.01.2020", "12,00",      "03.01.2020",
                                        "11,00",      "06.01.2020", "14,00",      "07.01.2020", "13,00"};

// A 400 x 200 area, title lines 14 high, axis lines 10 high:
//   baseline = 200 - 2 * 10 = 180; plot top = 2 * 14 + 2 * 10 = 48;
//   plot height 132; grid steps (132 - 5) / 10 = 12;
//   min 10, max 14, range 4, 4 / 12 per step;
//   widest value label "14,00" = 30 -> axis at 30 * 3 / 2 + 5 = 50;
//   plot right 400 - 15 - 10 = 375, plot width 325;
//   x step 325 / 4 = 81,25 -> x 50, 131, 212, 293, 375;
//   y = 180 - (v - 10) * 127 / 4 (31,75 per unit), cut: 180, 116, 148, 53, 84.
TEST(ChartLayout, ASmallChartByHand) {
  ScrollState scroll;
  const ChartLayout g = Layout(ChartKind::Daily, kFive, Rect{0, 0, 400, 200}, scroll);
  EXPECT_EQ(g.title, "Tageschart des Fonds Alpha");
  EXPECT_EQ(g.titleBox, (Rect{0, 1, 400, 14}));
  EXPECT_EQ(g.baseline, 180);
  EXPECT_EQ(g.plotTop, 48);
  EXPECT_EQ(g.plotLeft, 50);
  EXPECT_EQ(g.plotRight, 375);
  EXPECT_EQ(g.steps, 12);
  EXPECT_DOUBLE_EQ(g.lowest, 10);
  EXPECT_DOUBLE_EQ(g.range, 4);
  EXPECT_EQ(g.points, (std::vector<Point>{{50, 180}, {131, 116}, {212, 148}, {293, 53}, {375, 84}}));
  EXPECT_EQ(scroll.range, 0) << "five points fit: no window";

  // Thirteen labels from the baseline up, one text line apart; the values
  // are cut, not rounded (10 + 2 * 4 / 12 = 10,666...).
  ASSERT_EQ(g.grid.size(), 13u);
  EXPECT_EQ(g.grid[0].text, "10,00");
  EXPECT_EQ(g.grid[1].text, "10,33");
  EXPECT_EQ(g.grid[2].text, "10,66");
  EXPECT_EQ(g.grid[12].text, "14,00");
  EXPECT_EQ(g.grid[12].y, 60);
  EXPECT_FALSE(g.grid[0].line) << "the baseline itself is the axis";
  EXPECT_TRUE(g.grid[1].line);
  EXPECT_EQ(g.grid[1].box, (Rect{0, 165, 47, 10}));

  // Dates 60 wide with a gap of 2: 325 / 62 = 5 labels, one per point; the
  // first is centred under its point, the last kept inside the area.  They
  // stand half a line (5) under the baseline, below the lowest value label.
  ASSERT_EQ(g.dates.size(), 5u);
  EXPECT_EQ(g.dates[0].x, 50);
  EXPECT_EQ(g.dates[0].box, (Rect{20, 185, 62, 10}));
  EXPECT_LE(g.grid[0].box.top + g.grid[0].box.height, g.dates[0].box.top);
  EXPECT_EQ(g.dates[4].text, "07.01.2020");
  EXPECT_EQ(g.dates[4].box.left, 400 - 1 - 60);
  EXPECT_TRUE(g.average200.empty());
  EXPECT_TRUE(g.average38.empty());
}

// The printer's spacing: margin 56 (axis at 45 + 56), the title 56 below
// the top, and dates 226 apart, of which none fit a plot 274 wide.
TEST(ChartLayout, PrinterSpacingAndNoWindow) {
  ScrollState scroll;
  const ChartLayout g = Layout(ChartKind::Daily, kFive, Rect{0, 0, 400, 200}, scroll, Medium::Printer);
  EXPECT_EQ(g.plotLeft, 101);
  EXPECT_EQ(g.titleBox.top, 56);
  EXPECT_TRUE(g.dates.empty());

  // A series too long for the width is printed whole: the printer never
  // sets up a window.
  ScrollState fresh;
  const std::vector<std::string> rows = Rows(std::vector<double>(300, 5));
  EXPECT_EQ(Layout(ChartKind::Daily, rows, Rect{0, 0, 400, 200}, fresh, Medium::Printer).points.size(), 300u);
  EXPECT_FALSE(fresh.initialised);
  EXPECT_EQ(AxisFont(Medium::Printer).height, 200);
  EXPECT_EQ(TitleFont(Medium::Printer).family, "Times New Roman");
  EXPECT_EQ(TitleFont(Medium::Screen).height, 14);
}

// 300 points in a width of 400 (300 >= 400 - 150): the first layout shows
// the newest half, points 150 to 299.
TEST(ChartLayout, TheWindowShowsTheNewestHalfAndFollowsScrollAndZoom) {
  std::vector<double> values;
  for (int i = 0; i < 300; ++i) values.push_back(10 + i % 7);
  const std::vector<std::string> rows = Rows(values);
  ScrollState s;
  ChartLayout g = Layout(ChartKind::Daily, rows, Rect{0, 0, 400, 200}, s);
  EXPECT_EQ(s.range, 150);
  EXPECT_EQ(s.position, 150);
  EXPECT_EQ(s.minimumRange, 150);
  EXPECT_EQ(g.firstShown, 150);
  EXPECT_EQ(g.points.size(), 150u);

  ScrollLine(s, -1);
  g = Layout(ChartKind::Daily, rows, Rect{0, 0, 400, 200}, s);
  EXPECT_EQ(g.firstShown, 149);
  EXPECT_EQ(g.points.size(), 150u);

  // Zoom +1: 10 points fewer, from the same first point.
  EXPECT_TRUE(ApplyZoom(s, 1, 300));
  g = Layout(ChartKind::Daily, rows, Rect{0, 0, 400, 200}, s);
  EXPECT_EQ(g.firstShown, 149);
  EXPECT_EQ(g.points.size(), 140u);

  // The long-term chart and a derived chart too short to window show all.
  ScrollState none;
  EXPECT_EQ(Layout(ChartKind::LongTerm, rows, Rect{0, 0, 400, 200}, none).points.size(), 300u);
  EXPECT_FALSE(none.initialised);
  EXPECT_EQ(Layout(ChartKind::MonthlyAverages, Rows({1, 2, 3}), Rect{0, 0, 400, 200}, none).points.size(), 3u);
}

TEST(ChartLayout, AWindowOfFewerThanThreePointsAtZoomOneIsWidened) {
  const std::vector<std::string> rows = Rows(std::vector<double>(20, 3));  // windowed in a width of 160
  ScrollState s;
  s.range = s.position = 19;
  s.minimumRange = 10;
  s.zoom = 1;
  s.initialised = true;
  const ChartLayout g = Layout(ChartKind::Daily, rows, Rect{0, 0, 160, 200}, s);
  EXPECT_EQ(s.range, 9);
  EXPECT_EQ(s.position, 9);
  EXPECT_EQ(g.points.size(), 11u);  // points 9 to 19
}

TEST(ChartWindow, PagesFallBackToSingleStepsAtTheEnds) {
  ScrollState s;
  s.range = 10;
  s.position = 7;
  ScrollPage(s, 1);
  EXPECT_EQ(s.position, 8);  // 12 would leave the range
  ScrollPage(s, 1);
  ScrollPage(s, 1);
  ScrollPage(s, 1);
  EXPECT_EQ(s.position, 10);
  ScrollPage(s, -1);
  EXPECT_EQ(s.position, 5);
  ScrollLine(s, -9);
  EXPECT_EQ(s.position, 0);
  ScrollTo(s, 99);
  EXPECT_EQ(s.position, 10);
}

TEST(ChartWindow, ZoomingOutStopsAtTheFirstWindow) {
  ScrollState s;
  s.range = s.position = s.minimumRange = 1000;
  EXPECT_TRUE(ApplyZoom(s, 1, 2000));
  EXPECT_TRUE(ApplyZoom(s, 1, 2000));
  EXPECT_EQ(s.range, 1020);
  EXPECT_EQ(s.zoom, 2);
  EXPECT_TRUE(ApplyZoom(s, -1, 2000));
  EXPECT_TRUE(ApplyZoom(s, -1, 2000));
  EXPECT_FALSE(ApplyZoom(s, -1, 2000));
  EXPECT_EQ(s.range, 1000);
  EXPECT_EQ(s.zoom, 0);
  EXPECT_EQ(ShownRange(ChartKind::Daily, 2000, 1000, s), (std::pair{1000, 2000}));
}

// One price of 41,70: the axis spans 10 % of the value either side, 8,34
// over 12 steps (0,695 each), with the point in the middle of the plot
// (180 - 4,17 * 127 / 8,34 = 116,5).  Before, every label read 41,70.
TEST(ChartLayout, AFlatSeriesGetsAnAxisAroundItsValueWithDistinctLabels) {
  ScrollState s;
  ChartLayout g = Layout(ChartKind::LongTerm, {"01.01.2020", "41,70"}, Rect{0, 0, 400, 200}, s);
  ASSERT_EQ(g.grid.size(), 13u);
  EXPECT_EQ(g.grid[0].text, "37,53");
  EXPECT_EQ(g.grid[1].text, "38,22");
  EXPECT_EQ(g.grid[6].text, "41,70");
  EXPECT_EQ(g.points, (std::vector<Point>{{g.plotLeft, 116}}));
  std::set<std::string> texts;
  for (const GridLabel& l : g.grid) texts.insert(l.text);
  EXPECT_EQ(texts.size(), g.grid.size());

  // All prices equal, and all zero: every label differs from the next.
  for (const std::vector<double>& flat : {std::vector<double>{5, 5, 5}, std::vector<double>{0, 0}}) {
    g = Layout(ChartKind::Daily, Rows(flat), Rect{0, 0, 400, 200}, s);
    texts.clear();
    for (const GridLabel& l : g.grid) texts.insert(l.text);
    EXPECT_EQ(texts.size(), g.grid.size()) << flat.size();
    EXPECT_EQ(g.points.front().y, 116) << "in the middle";
  }
  // Prices one cent apart: widened to 2 cents a step around 41,705.
  g = Layout(ChartKind::Daily, Rows({41.70, 41.71}), Rect{0, 0, 400, 200}, s);
  EXPECT_EQ(g.grid[0].text, "41,58");
  EXPECT_EQ(g.grid[1].text, "41,60");
}

// 25 months in the small area: plot 325 wide, 13,54 per month; labels
// "MM/JJ" 30 wide with a gap of 2 -> 10 labels, but evenly spread over 24
// steps some would stand 2 months (27) apart and overlap.  Every third
// month is labelled instead (3 * 13,54 >= 32): months 0, 3, ..., 24.
TEST(ChartLayout, DateLabelsOfFewPointsDoNotOverlap) {
  std::vector<std::string> rows;
  for (int m = 0; m < 25; ++m) {
    const int month = m % 12 + 1;
    rows.push_back((month < 10 ? "0" : "") + std::to_string(month) + "/" + std::to_string(20 + m / 12));
    rows.push_back(FormatNumber(10 + m, 2));
  }
  ScrollState s;
  const ChartLayout g = Layout(ChartKind::MonthlyAverages, rows, Rect{0, 0, 400, 200}, s);
  ASSERT_EQ(g.dates.size(), 9u);
  EXPECT_EQ(g.dates[1].text, "04/20");
  EXPECT_EQ(g.dates[8].text, "01/22");
  for (size_t k = 1; k < g.dates.size(); ++k) EXPECT_GE(g.dates[k].x - g.dates[k - 1].x, 32) << k;
}

TEST(ChartLayout, AnEmptySeriesHasATitleButNoLabels) {
  ScrollState s;
  const ChartLayout g = Layout(ChartKind::LongTerm, {}, Rect{0, 0, 400, 200}, s);
  EXPECT_TRUE(g.valid);
  EXPECT_EQ(g.title, "Langfristchart des Fonds Alpha");
  EXPECT_TRUE(g.grid.empty());
  EXPECT_TRUE(g.points.empty());
  EXPECT_TRUE(g.dates.empty());
}

// Changes in percent: the widest label is the smallest value's "-12,34"
// (36 wide), so the axis stands at 54 + 5; a series of losses only has 0
// as its top label.
TEST(ChartLayout, NegativeValuesKeepTheirLabelsInside) {
  ScrollState s;
  ChartLayout g =
      Layout(ChartKind::MonthlyChanges, {"01/20", "-12,34", "02/20", "5,00", "03/20", "3,00"}, Rect{0, 0, 400, 200}, s);
  EXPECT_EQ(g.plotLeft, 59);
  EXPECT_EQ(g.grid[0].text, "-12,34");
  EXPECT_GE(g.grid[0].box.width, 36);
  g = Layout(ChartKind::YearlyChanges, {"2020", "-5,00", "2021", "-3,00"}, Rect{0, 0, 400, 200}, s);
  EXPECT_EQ(g.grid.back().text, "0,00");
  EXPECT_EQ(g.dates.size(), 2u);
  EXPECT_EQ(g.dates[1].text, "2021");
}

// 45 prices 100, 101, ... 144: the 38-day line starts at point 39, where
// the 38 prices before it (101 to 138) average 119,5 (with its own price it
// would be 120).  Scale 127 / 44: y = 180 - 19,5 * 127 / 44 = 123,7 -> 123.
TEST(ChartLayout, MovingAveragesOfThePricesBeforeAPoint) {
  std::vector<double> values;
  for (int i = 0; i < 45; ++i) values.push_back(100 + i);
  ScrollState s;
  const ChartLayout g = Layout(ChartKind::Daily, Rows(values), Rect{0, 0, 400, 200}, s);
  ASSERT_EQ(g.average38.size(), 6u);  // points 39 to 44
  EXPECT_EQ(g.average38[0], (Point{g.points[39].x, 123}));
  EXPECT_TRUE(g.average200.empty());
  // Derived charts have no averages.
  EXPECT_TRUE(Layout(ChartKind::MonthlyAverages, Rows(values), Rect{0, 0, 400, 200}, s).average38.empty());
}

// The value display over the small chart: the nearest point in x; the box
// (17 characters * 6 + 10 wide, 10 + 6 high) right of and above the cross,
// moved left and below where it would leave the plot.
TEST(ValueDisplay, TheNearestPointAndABoxInsideThePlot) {
  ScrollState s;
  const ChartLayout g = Layout(ChartKind::Daily, kFive, Rect{0, 0, 400, 200}, s);
  auto m = MarkerAt(g, kFive, Point{135, 100}, kAxis);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->text, "02.01.2020  12,00");
  EXPECT_EQ(m->box, (Rect{143, 80, 112, 16}));
  EXPECT_EQ(m->horizontal, (Line{{50, 100}, {375, 100}}));
  EXPECT_EQ(m->vertical, (Line{{135, 48}, {135, 180}}));

  m = MarkerAt(g, kFive, Point{370, 50}, kAxis);
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->text, "07.01.2020  13,00");
  EXPECT_EQ(m->box, (Rect{251, 58, 112, 16}));

  EXPECT_TRUE(InPlot(g, Point{50, 48}));
  EXPECT_TRUE(InPlot(g, Point{375, 180}));
  EXPECT_FALSE(InPlot(g, Point{49, 100}));
  EXPECT_FALSE(InPlot(g, Point{200, 181}));
  EXPECT_FALSE(MarkerAt(ChartLayout{}, kFive, Point{100, 100}, kAxis).has_value());
}

TEST(ChartTitles, EveryKind) {
  EXPECT_EQ(ChartTitle(ChartKind::LongTerm, "F"), "Langfristchart des Fonds F");
  EXPECT_EQ(ChartTitle(ChartKind::Daily, "F"), "Tageschart des Fonds F");
  EXPECT_EQ(ChartTitle(ChartKind::MonthlyAverages, "F"), "Monatliche Mitelwerte des Fonds F");
  EXPECT_EQ(ChartTitle(ChartKind::YearlyAverages, "F"), "Jährliche Mittelwerte des Fonds F");
  EXPECT_EQ(ChartTitle(ChartKind::MonthlyChanges, "F"), "Monatliche Performance des Fonds F");
  EXPECT_EQ(ChartTitle(ChartKind::YearlyChanges, "F"), "Jährliche Performance des Fonds F");
  EXPECT_EQ(ChartTitle(ChartKind::Comparison, "F", "G"), "F im Vergleich zum Fond G");
  EXPECT_EQ(PeriodChartTitle("F", "01.02.2003", "04.05.2006"), "Chart des Fonds F vom 01.02.2003 bis zum 04.05.2006");
  EXPECT_EQ(KindOfNumber(3), ChartKind::YearlyAverages);
  EXPECT_FALSE(KindOfNumber(7).has_value());
  EXPECT_FALSE(KindOfNumber(-1).has_value());

  ChartInput in;
  in.title = "Chart des Fonds F vom 01.02.2003 bis zum 04.05.2006";
  ScrollState s;
  EXPECT_EQ(LayoutChart(in, kFive, Rect{0, 0, 400, 200}, kTitle, kAxis, s).title, in.title);
}

}  // namespace
}  // namespace tellurio::chart
