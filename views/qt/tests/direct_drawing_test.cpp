// Texts and table screens drawn straight into the back buffer give the very
// pixels Qt's painter gives: random texts on random backgrounds, cut by the
// clip and overlapping, and a pane scrolled step by step against a pane
// drawn afresh at each position.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <random>

#include "views/Fonts.h"
#include "views/qt/GlyphText.h"
#include "views/qt/TablePane.h"
#include "views/table/FundTable.h"

namespace tellurio {
namespace {

// Characters of the table texts: digits, signs, letters, umlauts, and a
// few rarer Latin-1 ones.
const QString kCharacters = QStringLiteral(
    "0123456789,.-+% ()/:ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz\u00C4\u00D6\u00DC\u00E4\u00F6\u00FC"
    "\u00DF\u00B0\u00B5\u00A7\u00E9\u00F8\u00BD");

QImage Noise(std::mt19937& random, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  std::uniform_int_distribution<int> channel(0, 255), kind(0, 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // Mostly the table's own greys and white, some wild colours.
      const int k = kind(random);
      const int grey = k == 0 ? 255 : k == 1 ? 249 : k == 2 ? 236 : -1;
      image.setPixel(x, y,
                     grey >= 0 ? qRgb(grey, grey, grey) : qRgb(channel(random), channel(random), channel(random)));
    }
  }
  return image;
}

TEST(GlyphText, DrawnDirectlyATextGetsThePixelsOfThePainter) {
  for (int weight : {400, 700}) {
    const GlyphText text(ProgramFont(QStringLiteral("Arial"), 11, weight));
    ASSERT_TRUE(text.CanDrawDirect()) << "grey-scale glyphs on this platform: the direct way must be on";
    std::mt19937 random(20261208 + weight);
    QImage viaQt = Noise(random, 420, 240);
    QImage direct = viaQt.copy();
    const QRect clip(7, 3, 380, 225);  // texts run out of it on every side
    const GlyphText::Target target = GlyphText::TargetOf(direct, clip);
    std::uniform_int_distribution<int> length(0, 24), pick(0, static_cast<int>(kCharacters.size()) - 1);
    std::uniform_int_distribution<int> left(0, 400 * 128), top(0, 230), align(0, 2), fraction(0, 127);
    QPainter p(&viaQt);
    p.setClipRect(clip);
    p.setPen(Qt::black);
    const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    int directly = 0;
    for (int n = 0; n < 400; ++n) {
      QString s;
      for (int k = length(random); k > 0; --k) s += kCharacters[pick(random)];
      // Left edges in 1/128 pixel, tops whole or in 1/128; widths whole
      // or odd, so that centred texts land on halves as well.
      const QRectF rect(left(random) / 128.0, top(random) + (n % 3 == 0 ? fraction(random) / 128.0 : 0),
                        30 + n % 97 + (n % 2) * 0.5, 20);
      const Qt::Alignment a = aligns[align(random)];
      text.Draw(p, rect, a, s);
      if (text.DrawDirect(target, rect, a, s.toStdString())) {
        ++directly;
      } else {
        // Left of the image (a long text right-aligned near the left
        // edge): the painter draws it, as the table pane does.
        EXPECT_LT(rect.right() - text.Width(s), 0) << s.toStdString();
        QPainter q(&direct);
        q.setClipRect(clip);
        q.setPen(Qt::black);
        text.Draw(q, rect, a, s);
      }
    }
    p.end();
    EXPECT_GT(directly, 350);
    int differ = 0;
    for (int y = 0; y < viaQt.height(); ++y)
      for (int x = 0; x < viaQt.width(); ++x) differ += viaQt.pixel(x, y) != direct.pixel(x, y);
    EXPECT_EQ(differ, 0) << "weight " << weight;
  }
}

TEST(GlyphText, WhatItCannotDrawExactlyItLeavesToThePainter) {
  const GlyphText text(ProgramFont(QStringLiteral("Arial"), 11));
  QImage image(200, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  const QImage before = image.copy();
  const GlyphText::Target target = GlyphText::TargetOf(image, image.rect());
  const QRectF rect(10, 5, 150, 20);
  EXPECT_TRUE(text.DrawDirect(target, rect, Qt::AlignLeft, "")) << "an empty text is drawn: nothing";
  EXPECT_FALSE(text.DrawDirect(target, rect, Qt::AlignLeft, "Kurs \xE6\xBC\xA2")) << "beyond Latin-1";
  EXPECT_FALSE(text.DrawDirect(target, rect, Qt::AlignLeft, "12,5\xC3")) << "cut UTF-8";
  EXPECT_FALSE(text.DrawDirect(target, rect, Qt::AlignLeft, "12\xC3(5")) << "damaged UTF-8";
  EXPECT_FALSE(text.DrawDirect(target, rect, Qt::AlignLeft, "a\x01z")) << "a character without a glyph";
  EXPECT_FALSE(text.DrawDirect(target, QRectF(10.001, 5, 150, 20), Qt::AlignLeft, "12,50"))
      << "an offset finer than the kept ones";
  EXPECT_FALSE(text.DrawDirect(target, QRectF(-3, 5, 150, 20), Qt::AlignLeft, "12,50")) << "left of the image";
  EXPECT_FALSE(text.DrawDirect(target, rect, Qt::AlignLeft, std::string(600, '1'))) << "very long";
  EXPECT_EQ(image, before) << "nothing of them was drawn";
  QImage indexed(20, 20, QImage::Format_Indexed8);
  EXPECT_EQ(GlyphText::TargetOf(indexed, indexed.rect()).bits, nullptr) << "only 32-bit images";
  EXPECT_TRUE(text.DrawDirect(target, rect, Qt::AlignRight, "-1.234,56 %"));
  EXPECT_NE(image, before);
}

// Rows with depot blocks, a header line, texts and blank lines.
std::shared_ptr<const TextTable> MixedTable() {
  TextTable t = EmptyFundTable(printkind::kAllFunds, SortKind::Alphabetical);
  t.groupColumn = 0;
  for (int i = 0; i < 120; ++i) {
    if (i % 29 == 13) t.lines.push_back(TableLine::Text("Zwischentext Nummer " + std::to_string(i)));
    if (i % 31 == 7) t.lines.push_back(TableLine::Blank());
    if (i % 37 == 20) t.lines.push_back(TableLine::Header({"Bank", "Fonds", "WKN", "Kurs"}));
    if (i % 41 == 3) t.lines.push_back(TableLine::Caption("Gruppe \u00C4 " + std::to_string(i)));
    FundStatistics st;
    st.yearlyAverages = {10.0 + i, 11.5, 12.25 + i % 7, 13.0};
    st.monthlyAverages = {1.0, 1.0 + i % 5};
    st.volatility = i * 0.37;
    st.sharpeRatio = -i * 0.013;
    FundFacts f{"Fonds " + std::to_string(i) + (i % 9 == 0 ? " \u00DCbersee" : ""), std::to_string(100000 + i), "Euro",
                10.0 + i * 1.7, ""};
    t.lines.push_back(AllFundsRow(i % 10 == 0 ? "Bank " + std::to_string(i / 10) : "", f, st).line);
  }
  return std::make_shared<const TextTable>(std::move(t));
}

// The scrolled pane keeps parts of the last screen; a new pane that has
// shown nothing else draws the same screen afresh (a new measuring makes it
// start from white).
QImage Afresh(QSize size, const std::shared_ptr<const TextTable>& table, int row, int x) {
  TablePane fresh;
  fresh.resize(size);
  fresh.SetTable(table);
  fresh.HorizontalBar()->setValue(x);
  fresh.VerticalBar()->setValue(row);
  fresh.Measure();
  fresh.Render();
  return fresh.BackBuffer().copy();
}

TEST(TablePane, AScrolledPaneShowsWhatAFreshlyDrawnPaneShows) {
  const auto table = MixedTable();
  for (const QSize size : {QSize(1200, 420), QSize(520, 300)}) {
    TablePane scrolled;
    scrolled.resize(size);
    scrolled.SetTable(table);
    const int last = scrolled.VerticalBar()->maximum();
    ASSERT_GT(last, 20);
    const int sideways = scrolled.HorizontalBar()->maximum();
    EXPECT_EQ(sideways > 0, size.width() < 1000);
    const std::vector<std::pair<int, int>> steps = {{1, 0},
                                                    {2, 0},
                                                    {13, 0},
                                                    {14, 0},
                                                    {40, 0},
                                                    {last, 0},
                                                    {last - 1, 0},
                                                    {0, sideways / 3},
                                                    {5, sideways / 3},
                                                    {6, sideways},
                                                    {last, sideways},
                                                    {30, 0},
                                                    {31, 0}};
    for (const auto& [row, x] : steps) {
      scrolled.HorizontalBar()->setValue(x);
      scrolled.VerticalBar()->setValue(row);
      ASSERT_EQ(scrolled.Paging().First(), static_cast<size_t>(row));
      EXPECT_TRUE(scrolled.BackBuffer() == Afresh(size, table, row, x))
          << "row " << row << " sideways " << x << " in " << size.width() << "x" << size.height();
    }
    // Another table in the same pane: nothing of the last one stays.
    TextTable other = EmptyFundTable(printkind::kDepotFunds, SortKind::Return);
    for (int i = 0; i < 50; ++i)
      other.lines.push_back(
          DepotFundsRow("Depot", "Bank", FundFacts{"Fonds " + std::to_string(i), "1", "Euro", 1, "2,000"}, {}).line);
    const auto second = std::make_shared<const TextTable>(std::move(other));
    scrolled.SetTable(second);
    EXPECT_TRUE(scrolled.BackBuffer() == Afresh(size, second, 0, 0)) << "the title and header of the new table";
  }
}

}  // namespace
}  // namespace tellurio
