#include "views/ChartRenderer.h"

#include "views/Fonts.h"
#include "views/chart/qt/ChartPainter.h"

namespace tellurio {

QFont ChartFont(const chart::FontSpec& spec) {
  return ProgramFont(QString::fromStdString(spec.family), spec.height, spec.weight, spec.underline);
}

chart::ChartLayout DrawChart(QPainter& painter, const QRect& rect, const chart::ChartInput& input,
                             const std::vector<std::string>& series, chart::ScrollState& scroll) {
  const QFont titleFont = ChartFont(chart::TitleFont(input.medium));
  const QFont axisFont = ChartFont(chart::AxisFont(input.medium));
  // A printer measures in its own units; the screen's fonts are sized in
  // pixels.
  const QPaintDevice* device = input.medium == chart::Medium::Printer ? painter.device() : nullptr;
  const chart::QtTextMetrics titleMetrics(titleFont, device), axisMetrics(axisFont, device);
  const chart::ChartLayout layout =
      chart::LayoutChart(input, series, chart::FromQRect(rect), titleMetrics, axisMetrics, scroll);
  chart::PaintChart(painter, layout, titleFont, axisFont);
  return layout;
}

chart::ChartLayout LayoutScreenChart(const QRect& rect, const chart::ChartInput& input,
                                     const std::vector<std::string>& series, chart::ScrollState& scroll) {
  const chart::QtTextMetrics titleMetrics(ChartFont(chart::TitleFont(chart::Medium::Screen))),
      axisMetrics(ChartFont(chart::AxisFont(chart::Medium::Screen)));
  return chart::LayoutChart(input, series, chart::FromQRect(rect), titleMetrics, axisMetrics, scroll);
}

void PaintScreenChart(QPainter& painter, const chart::ChartLayout& layout) {
  chart::PaintChart(painter, layout, ChartFont(chart::TitleFont(chart::Medium::Screen)),
                    ChartFont(chart::AxisFont(chart::Medium::Screen)));
}

void DrawValueMarker(QPainter& painter, const chart::ChartLayout& layout, const std::vector<std::string>& series,
                     const QPoint& at) {
  const QFont font = ChartFont(chart::MarkerFont());
  QFont plain = font;
  plain.setStyleStrategy(QFont::NoAntialias);
  const chart::QtTextMetrics metrics(plain);
  if (const auto marker = chart::MarkerAt(layout, series, chart::Point{at.x(), at.y()}, metrics))
    chart::PaintMarker(painter, *marker, font);
}

}  // namespace tellurio
