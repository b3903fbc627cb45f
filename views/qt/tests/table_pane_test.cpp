// The table pane: paging with the scroll bar, columns as wide as their texts,
// the grey header, an empty table and no table.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QScrollBar>
#include <QTest>

#include "views/Fonts.h"
#include "views/qt/TablePane.h"
#include "views/table/FundTable.h"

namespace tellurio {
namespace {

std::shared_ptr<const TextTable> Table(int rows) {
  TextTable t = EmptyFundTable(printkind::kAllFunds, SortKind::Alphabetical);
  for (int i = 0; i < rows; ++i) {
    FundFacts f{"Fonds Nummer " + std::to_string(i) + (i == 7 ? " mit einem sehr langen Namen" : ""), "12345", "Euro",
                10.0 + i, ""};
    t.lines.push_back(AllFundsRow("Bank", f, FundStatistics{}).line);
  }
  return std::make_shared<const TextTable>(std::move(t));
}

// Whether any pixel of the row y (between x0 and x1) has that colour.
bool RowHas(const QImage& img, int y, int x0, int x1, QColor c) {
  for (int x = x0; x < x1 && x < img.width(); ++x)
    if (img.pixelColor(x, y) == c) return true;
  return false;
}

TEST(TablePane, PagesThroughTheRowsWithTheScrollBar) {
  TablePane pane;
  pane.resize(900, 320);
  pane.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
  pane.SetTable(Table(100));
  const TablePaging& paging = pane.Paging();
  ASSERT_GT(paging.PerPage(), 3u);
  ASSERT_LT(paging.PerPage(), 100u);
  EXPECT_EQ(pane.VerticalBar()->maximum(), static_cast<int>(100 - paging.PerPage()));
  EXPECT_EQ(pane.VerticalBar()->pageStep(), static_cast<int>(paging.PerPage()));
  const QImage first = pane.BackBuffer().copy();
  pane.VerticalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(paging.First(), paging.PerPage());
  EXPECT_NE(pane.BackBuffer(), first) << "a scroll draws the rows of the new page";
  pane.VerticalBar()->setValue(pane.VerticalBar()->maximum());
  EXPECT_EQ(paging.First() + paging.PerPage(), 100u) << "the last page ends with the last row";
  // A taller pane shows more rows and never scrolls past the end.
  pane.resize(900, 2000);
  QTRY_COMPARE(paging.MaxFirst(), 0u);
  EXPECT_EQ(paging.First(), 0u);
  EXPECT_FALSE(pane.VerticalBar()->isEnabled());
}

TEST(TablePane, ColumnsAreWideEnoughForTheirTextsAndTheHeaderIsGrey) {
  TablePane pane;
  pane.resize(1400, 400);
  pane.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
  const auto table = Table(12);
  pane.SetTable(table);
  const QFontMetrics body(ProgramFont(QStringLiteral("Arial"), 11));
  const QFontMetrics bold(ProgramFont(QStringLiteral("Arial"), 11, 700));
  const std::vector<int>& w = pane.ColumnWidths();
  ASSERT_EQ(w.size(), table->columns.size());
  for (size_t c = 0; c < w.size(); ++c) {
    EXPECT_GE(w[c], bold.horizontalAdvance(QString::fromStdString(table->columns[c].header))) << c;
    for (const TableLine& l : table->lines)
      EXPECT_GE(w[c], body.horizontalAdvance(QString::fromStdString(l.At(c)))) << c << " " << l.At(c);
  }
  EXPECT_GT(w[allcol::kName], w[allcol::kWkn]) << "the long name widens its column";
  // Somewhere below the title lies the header row in light grey, with grid
  // lines in RGB 192.
  const QImage& img = pane.BackBuffer();
  bool header = false, grid = false;
  for (int y = 0; y < 120; ++y) {
    header = header || RowHas(img, y, 20, 400, QColor(236, 236, 236));
    grid = grid || RowHas(img, y, 20, 400, QColor(192, 192, 192));
  }
  EXPECT_TRUE(header && grid);
  EXPECT_FALSE(pane.HorizontalBar()->isVisible()) << "the table fits";
  pane.resize(300, 400);
  QTRY_VERIFY(pane.HorizontalBar()->isVisible());  // a narrow pane scrolls sideways
}

TEST(TablePane, AnEmptyTableAndNoTable) {
  TablePane pane;
  pane.resize(600, 300);
  pane.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
  pane.SetTable(Table(0));
  EXPECT_EQ(pane.Paging().Lines(), 0u);
  EXPECT_EQ(pane.Paging().Visible(), 0u);
  EXPECT_EQ(pane.ColumnWidths().size(), 13u);
  pane.SetTable(nullptr);
  EXPECT_TRUE(pane.ColumnWidths().empty());
  // The hint is drawn: the buffer is not plain white.
  const QImage& img = pane.BackBuffer();
  bool ink = false;
  for (int y = 0; y < img.height() && !ink; ++y)
    for (int x = 0; x < img.width() - 20 && !ink; ++x) ink = img.pixelColor(x, y) != QColor(Qt::white);
  EXPECT_TRUE(ink);
}

}  // namespace
}  // namespace tellurio
