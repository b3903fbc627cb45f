// The painter draws what a layout says, where it says it.

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>

#include "views/chart/qt/ChartPainter.h"

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
