// The painter draws what a layout says, where it says it.

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include "views/chart/qt/ChartPainter.h"
#include "views/chart/qt/TextWidths.h"

namespace tellurio::chart {
namespace {

QFont Font(int pixels) {
  QFont f;
  f.setPixelSize(pixels);
  return f;
}

// A hand-made layout: its series, averages and grid each leave their colour
// at a spot no other part touches.
TEST(ChartPainter, SeriesAveragesAndGridInTheirColours) {
  ChartLayout g;
  g.area = Rect{0, 0, 200, 100};
  g.plotLeft = 20;
  g.plotTop = 10;
  g.plotRight = 190;
  g.baseline = 90;
  g.points = {{30, 20}, {100, 20}};
  g.average200 = {{30, 40}, {100, 40}};
  g.average38 = {{30, 60}, {100, 60}};
  g.grid = {GridLabel{80, "", Rect{0, 75, 17, 10}, true}};
  g.valid = true;
  QImage image(200, 100, QImage::Format_RGB32);
  image.fill(Qt::red);
  QPainter p(&image);
  PaintChart(p, g, Font(14), Font(10));
  p.end();
  EXPECT_EQ(image.pixelColor(150, 50), QColor(Qt::white)) << "the area is filled";
  EXPECT_EQ(image.pixelColor(60, 20), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(60, 40), QColor(0, 160, 0));
  EXPECT_EQ(image.pixelColor(60, 60), QColor(0, 0, 255));
  EXPECT_EQ(image.pixelColor(150, 80), QColor(200, 200, 200));
  EXPECT_EQ(image.pixelColor(20, 50), QColor(Qt::black)) << "the value axis";
  EXPECT_EQ(image.pixelColor(150, 90), QColor(Qt::black)) << "the baseline";
}

// The painter places its texts itself (without Qt's box layout, for speed);
// they must land on exactly the pixels drawText(box, alignment) gives.
TEST(ChartPainter, TextsLandWhereQtsBoxAlignmentPutsThem) {
  ChartLayout g;
  g.area = Rect{0, 0, 300, 120};
  g.plotLeft = 60;
  g.plotTop = 30;
  g.plotRight = 290;
  g.baseline = 100;
  g.title = "Jährliche Mittelwerte des Fonds Beta";
  g.titleBox = Rect{0, 1, 300, 17};
  g.grid = {GridLabel{100, "1234,56", Rect{0, 94, 57, 12}, false}, GridLabel{88, "-7,01", Rect{0, 82, 57, 12}, false}};
  g.dates = {DateLabel{60, "01/03", Rect{45, 104, 33, 12}}, DateLabel{200, "2025", Rect{188, 104, 28, 12}}};
  g.valid = true;
  const QFont title = Font(14), axis = Font(10);
  QImage painted(300, 120, QImage::Format_RGB32), reference(300, 120, QImage::Format_RGB32);
  {
    QPainter p(&painted);
    PaintChart(p, g, title, axis);
  }
  {
    ChartLayout bare = g;
    bare.title.clear();
    bare.grid.clear();
    bare.dates.clear();
    QPainter p(&reference);
    PaintChart(p, bare, title, axis);
    p.setFont(axis);
    for (const GridLabel& l : g.grid)
      p.drawText(ToQRect(l.box), Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(l.text));
    for (const DateLabel& d : g.dates) {
      p.drawLine(d.x, g.baseline, d.x, g.baseline + 3);
      p.drawText(ToQRect(d.box), Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(d.text));
    }
    p.setFont(title);
    p.drawText(ToQRect(g.titleBox), Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(g.title));
  }
  EXPECT_EQ(painted, reference);
}

// The title is centred by its measured width and drawn at its baseline
// with the pixels drawText gives there, for titles a damaged file may give
// too (blanks at either end, control characters, line and paragraph
// separators, right-to-left text, ligatures, characters from fallback
// fonts, a title wider than its box).
TEST(ChartPainter, TheTitleAsDrawTextPutsIt) {
  ChartLayout g;
  g.area = Rect{0, 0, 400, 60};
  g.plotLeft = 60;
  g.plotTop = 30;
  g.plotRight = 390;
  g.baseline = 50;
  g.titleBox = Rect{0, 1, 400, 17};
  g.valid = true;
  QFont title = Font(14);
  title.setBold(true);
  title.setUnderline(true);
  for (const char* text : {"Jährliche Mittelwerte des Fonds Beta", "Fonds  ", "  Fonds", "A\tB", "Zeile\nZwei",
                           "شركة Fonds", "Fonds\xE2\x80\xA8x", "Fonds\xE2\x80\xA9x", "Fonds\xEF\xBF\xBCx", "A\vB\fC\rD",
                           "office affine finance", "", " ", "😀 Fonds €",
                           "Eine sehr lange Überschrift, die nicht "
                           "in den Kasten passt, weil sie viel länger ist als er"}) {
    g.title = text;
    QImage painted(400, 60, QImage::Format_RGB32), reference(400, 60, QImage::Format_RGB32);
    {
      QPainter p(&painted);
      PaintChart(p, g, title, Font(10));
    }
    {
      ChartLayout bare = g;
      bare.title.clear();
      QPainter p(&reference);
      PaintChart(p, bare, title, Font(10));
      p.setFont(title);
      p.setPen(Qt::black);
      const QFontMetricsF m(title);
      const QString q = QString::fromStdString(g.title);
      p.drawText(QPointF((400 - m.horizontalAdvance(q)) / 2, 1 + m.ascent()), q);
    }
    EXPECT_EQ(painted, reference) << text;
  }
}

// The labels' fast paths (glyphs measured once, lines through a clip) hold
// on a moved painter, one with a clip of its own and a scaled one (which
// takes drawText), and lines reaching outside the chart's area keep their
// pixels there (a moving average above the plot).
TEST(ChartPainter, MovedClippedAndScaledPaintersGiveDrawTextsPixels) {
  ChartLayout g;
  g.area = Rect{0, 0, 300, 120};
  g.plotLeft = 60;
  g.plotTop = 30;
  g.plotRight = 290;
  g.baseline = 100;
  g.grid = {GridLabel{100, "-1.234,56", Rect{0, 94, 57, 12}, false}, GridLabel{88, "11,11", Rect{0, 82, 57, 12}, true},
            GridLabel{76, "Wert 7", Rect{0, 70, 57, 12}, true}};
  g.dates = {DateLabel{60, "01.03.2024", Rect{45, 104, 60, 12}}, DateLabel{200, "12/99", Rect{188, 104, 33, 12}}};
  g.points = {{60, 99}, {70, 31}, {80, 98}, {90, 40}, {290, 60}};
  g.average38 = {{70, -20}, {150, 140}};  // leaves the area at both ends
  g.valid = true;
  const QFont axis = Font(10);
  struct Setup {
    const char* name;
    QTransform transform;
    QRect clip;  // empty: none
  };
  for (const Setup& setup :
       {Setup{"moved", QTransform::fromTranslate(13, 7), {}}, Setup{"own clip", QTransform(), QRect(20, 10, 200, 100)},
        Setup{"scaled", QTransform::fromScale(1.5, 1.5), {}}}) {
    QImage painted(480, 200, QImage::Format_RGB32), reference(480, 200, QImage::Format_RGB32);
    painted.fill(Qt::red);
    reference.fill(Qt::red);
    auto begin = [&](QPainter& p) {
      p.setTransform(setup.transform);
      if (!setup.clip.isEmpty()) p.setClipRect(setup.clip);
    };
    {
      QPainter p(&painted);
      begin(p);
      PaintChart(p, g, axis, axis);
    }
    {
      QPainter p(&reference);
      begin(p);
      p.fillRect(ToQRect(g.area), Qt::white);
      p.fillRect(QRect(60, 30, 1, 71), Qt::black);               // the value axis
      p.fillRect(QRect(60, 88, 231, 1), QColor(200, 200, 200));  // two grid lines
      p.fillRect(QRect(60, 76, 231, 1), QColor(200, 200, 200));
      p.fillRect(QRect(60, 100, 231, 1), Qt::black);  // the baseline
      p.fillRect(QRect(60, 100, 1, 4), Qt::black);    // two date ticks
      p.fillRect(QRect(200, 100, 1, 4), Qt::black);
      p.setFont(axis);
      p.setPen(Qt::black);
      for (const GridLabel& l : g.grid)
        p.drawText(ToQRect(l.box), Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(l.text));
      for (const DateLabel& d : g.dates)
        p.drawText(ToQRect(d.box), Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(d.text));
      p.setPen(QPen(Qt::black, 1));
      QPolygon series, average;
      for (const Point& pt : g.points) series << QPoint(pt.x, pt.y);
      for (const Point& pt : g.average38) average << QPoint(pt.x, pt.y);
      p.drawPolyline(series);
      p.setPen(QPen(QColor(0, 0, 255), 1));
      p.drawPolyline(average);
    }
    EXPECT_EQ(painted, reference) << setup.name;
    EXPECT_EQ(painted.pixelColor(479, 0), QColor(Qt::red)) << setup.name << ": only the area is filled";
    // The average is drawn on below the area (10 units under it).
    const int row = (setup.transform.map(QPointF(0, 130))).toPoint().y();
    bool blue = false;
    for (int x = 0; x < painted.width(); ++x) blue = blue || painted.pixelColor(x, row) == QColor(0, 0, 255);
    EXPECT_EQ(blue, setup.clip.isEmpty()) << setup.name;
  }
}

TEST(TextWidths, GlyphsOnlyForTextsNoFontJoinsAndWithNothingLeftOnRefusal) {
  TextWidths widths(Font(11));
  QList<quint32> indexes;
  QList<QPointF> positions;
  qreal width = 0;
  ASSERT_TRUE(widths.Glyphs(QStringLiteral("12,5%"), indexes, positions, width));
  ASSERT_EQ(indexes.size(), 5);
  EXPECT_EQ(positions[0], QPointF(0, 0));
  EXPECT_GT(positions[4].x(), positions[3].x());
  EXPECT_DOUBLE_EQ(width, QFontMetricsF(Font(11)).horizontalAdvance(QStringLiteral("12,5%")));
  // Letters (ligatures), a control character, a character beyond ASCII:
  // refused, and what was appended before stays as it was.
  for (const QString& text : {QStringLiteral("1fi"), QStringLiteral("1	2"), QStringLiteral("3€")}) {
    EXPECT_FALSE(widths.Glyphs(text, indexes, positions, width)) << text.toStdString();
    EXPECT_EQ(indexes.size(), 5);
    EXPECT_EQ(positions.size(), 5);
  }
  QFont underlined = Font(11);
  underlined.setUnderline(true);
  TextWidths decorated(underlined);
  EXPECT_FALSE(decorated.Glyphs(QStringLiteral("1"), indexes, positions, width));
  EXPECT_TRUE(widths.Glyphs(QString(), indexes, positions, width));
  EXPECT_EQ(width, 0);
}

// The labels' UTF-8 texts go to the glyphs without a QString: the same
// glyphs, positions and width as their QString, and refused alike.
TEST(TextWidths, Utf8GlyphsAreThoseOfTheQString) {
  TextWidths widths(Font(10));
  for (const std::string text : {"1234,56", "-0,07", "01/03", "2025", "01.03.2024", " 1 %", "", "Wert 7",
                                 "3\xE2\x82\xAC", "\xC3\xA4", "7\x7F"}) {
    QList<quint32> fromUtf8{99}, fromQString{99};
    QList<QPointF> atUtf8{QPointF(1, 1)}, atQString{QPointF(1, 1)};
    qreal widthUtf8 = -1, widthQString = -1;
    const bool utf8 = widths.Glyphs(std::string_view(text), fromUtf8, atUtf8, widthUtf8);
    EXPECT_EQ(utf8, widths.Glyphs(QString::fromStdString(text), fromQString, atQString, widthQString)) << text;
    EXPECT_EQ(fromUtf8, fromQString) << text;
    EXPECT_EQ(atUtf8, atQString) << text;
    EXPECT_EQ(widthUtf8, widthQString) << text;
    EXPECT_EQ(fromUtf8.size(), utf8 ? static_cast<qsizetype>(text.size()) + 1 : 1) << text;
  }
}

TEST(ChartPainter, AMarkerPaintedTwiceLeavesNoTrace) {
  QImage image(200, 100, QImage::Format_RGB32);
  image.fill(Qt::white);
  const QImage before = image.copy();
  Marker m{Line{{10, 50}, {190, 50}}, Line{{100, 10}, {100, 90}}, Rect{108, 30, 60, 16}, "01.01.2020  1,00"};
  QPainter p(&image);
  PaintMarker(p, m, Font(10));
  EXPECT_NE(image, before);
  PaintMarker(p, m, Font(10));
  p.end();
  EXPECT_EQ(image, before);
}

TEST(ChartPainter, TheFundDataChartAndThePortraitChart) {
  QImage image(120, 60, QImage::Format_RGB32);
  image.fill(Qt::red);
  FundDataChartLayout g;
  g.valueAxis = Line{{5, 55}, {5, 5}};
  g.timeAxis = Line{{5, 55}, {115, 55}};
  g.points = {{10, 30}, {110, 30}};
  QPainter p(&image);
  PaintFundDataChart(p, image.rect(), g, QColor(0, 0, 200));
  EXPECT_EQ(image.pixelColor(5, 20), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(60, 2), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(60, 30).blue() > image.pixelColor(60, 30).red(), true) << "the series line";

  PercentChartLayout empty;
  PaintPercentChart(p, image.rect(), empty, Font(11), {});
  p.end();
  EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white)) << "\"Keine Angaben\" over white";
  EXPECT_EQ(image.pixelColor(110, 30), QColor(Qt::white)) << "the series is gone";
}

TEST(QtTextMetrics, MeasuresUtf8) {
  const QtTextMetrics m(Font(12));
  EXPECT_GT(m.Height(), 0);
  EXPECT_EQ(m.Width("Jährliche"), QFontMetrics(Font(12)).horizontalAdvance(QStringLiteral("Jährliche")));
  EXPECT_EQ(m.Width(""), 0);
}

}  // namespace
}  // namespace tellurio::chart
