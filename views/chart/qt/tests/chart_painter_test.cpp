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
