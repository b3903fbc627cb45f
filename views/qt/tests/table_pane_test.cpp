// The table pane: paging with the scroll bar, columns as wide as their texts,
// the grey header, an empty table and no table.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QScrollBar>
#include <QTest>

#include <QPainter>

#include "views/Fonts.h"
#include "views/qt/GlyphText.h"
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
  ASSERT_TRUE(QTest::qWaitFor([&] { return paging.MaxFirst() == 0u; }));
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
  EXPECT_TRUE(QTest::qWaitFor([&] { return pane.HorizontalBar()->isVisible(); })) << "the narrow pane scrolls sideways";
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

// Texts collected in a batch land on the very pixels that one Draw per text
// gives: every alignment, fractional cell edges, an empty text, and a text
// with a character the font lacks (drawn the ordinary way, between the
// batched ones).
TEST(GlyphText, ABatchDrawsWhatOneDrawPerTextDraws) {
  const GlyphText text(ProgramFont(QStringLiteral("Arial"), 11));
  struct Cell {
    QRectF rect;
    Qt::Alignment align;
    QString text;
  };
  const std::vector<Cell> cells = {
      {QRectF(3, 2, 120, 20), Qt::AlignLeft, QStringLiteral("Fonds Ä Ö Ü ß 12")},
      {QRectF(130.5, 2, 90.25, 20), Qt::AlignRight, QStringLiteral("-1.234,56 %")},
      {QRectF(230, 2.5, 80, 19), Qt::AlignHCenter, QStringLiteral("Wgjp")},
      {QRectF(320, 2, 60, 20), Qt::AlignLeft, QString()},
      {QRectF(3, 30, 200, 20), Qt::AlignLeft, QStringLiteral("Kurs \u6F22 fehlt")},
      {QRectF(210, 30, 120, 20), Qt::AlignRight, QStringLiteral("4,00 Monate")},
  };
  QImage one(400, 60, QImage::Format_RGB32), batched(400, 60, QImage::Format_RGB32);
  one.fill(Qt::white);
  batched.fill(Qt::white);
  {
    QPainter p(&one);
    for (const Cell& c : cells) text.Draw(p, c.rect, c.align, c.text);
  }
  GlyphText::Batch batch;
  {
    QPainter p(&batched);
    for (const Cell& c : cells) text.DrawBatched(p, batch, c.rect, c.align, c.text);
    text.Flush(p, batch);
  }
  EXPECT_TRUE(batch.glyphs.isEmpty()) << "a flush empties the batch";
  bool ink = false;
  for (int y = 0; y < one.height(); ++y)
    for (int x = 0; x < one.width(); ++x) ink = ink || one.pixel(x, y) != QColor(Qt::white).rgb();
  EXPECT_TRUE(ink) << "something was drawn";
  EXPECT_EQ(batched, one);
  // A text the font cannot show whole is left to the caller.
  EXPECT_FALSE(text.Add(batch, QRectF(0, 0, 50, 20), Qt::AlignLeft, QStringLiteral("a\u6F22")));
  EXPECT_TRUE(batch.glyphs.isEmpty() && batch.positions.isEmpty()) << "nothing of it was added";
}

// The grid: one-pixel lines in RGB 192 between the columns, reaching from
// the header row to the bottom of the last row, and under every row.
TEST(TablePane, GridLinesCloseEveryCell) {
  TablePane pane;
  pane.resize(1400, 300);
  pane.SetTable(Table(3));
  const QImage& img = pane.BackBuffer();
  const QColor grid(192, 192, 192);
  const int left = 8;  // the table's left edge
  const std::vector<int>& w = pane.ColumnWidths();
  int right = left;
  for (int x : w) right += x;
  // The rows below the header: find the lowest grid line under the rows.
  int bottom = -1;
  for (int y = img.height() - 1; y >= 0 && bottom < 0; --y)
    if (img.pixelColor(left + 1, y) == grid && img.pixelColor(right - 1, y) == grid) bottom = y;
  ASSERT_GT(bottom, 0);
  // Every column edge, the right end included, is grey down to that line
  // and nothing of it lies below.
  int edge = left;
  for (size_t c = 0; c <= w.size(); ++c) {
    EXPECT_EQ(img.pixelColor(edge, bottom), grid) << "edge " << c;
    EXPECT_EQ(img.pixelColor(edge, bottom - 5), grid) << "edge " << c;
    EXPECT_EQ(img.pixelColor(edge, bottom + 1), QColor(Qt::white)) << "edge " << c;
    if (c < w.size()) edge += w[c];
  }
  // The line under the last row ends at the right edge.
  EXPECT_EQ(img.pixelColor(right, bottom), grid);
  EXPECT_EQ(img.pixelColor(right + 1, bottom), QColor(Qt::white));
}

}  // namespace
}  // namespace tellurio
