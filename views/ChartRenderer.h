#pragma once
// Drawing a chart with the program's fonts: lays the chart out with the
// chart core (views/chart/ChartCore.h) and paints it.  The chart pane draws
// through it on screen; a printed chart is drawn the same way with
// Medium::Printer on the printer's painter (the fonts and their metrics are
// then those of the printer), with a fresh ScrollState so that the whole
// series is printed.

#include <QFont>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <string>
#include <vector>

#include "views/chart/ChartCore.h"

namespace tellurio {

// The installed font for a font of the core.
QFont ChartFont(const chart::FontSpec& spec);

// Lays out and paints the chart of the series into rect; updates the
// scroll state (see chart::LayoutChart) and returns the layout, which the
// value display reads.
chart::ChartLayout DrawChart(QPainter& painter, const QRect& rect, const chart::ChartInput& input,
                             const std::vector<std::string>& series, chart::ScrollState& scroll);

// The two halves of DrawChart for a screen chart (input.medium Screen), for
// a pane that lays its chart out at once and paints it when it is shown:
// the layout of the chart in rect (updating the scroll state), and the
// painting of such a layout.  Together they draw the same pixels as
// DrawChart.
chart::ChartLayout LayoutScreenChart(const QRect& rect, const chart::ChartInput& input,
                                     const std::vector<std::string>& series, chart::ScrollState& scroll);
void PaintScreenChart(QPainter& painter, const chart::ChartLayout& layout);

// The value display at a point of a screen chart, combined with the picture
// by exclusive or (drawing it twice at the same point restores the
// picture).  Nothing is drawn for a layout without points.
void DrawValueMarker(QPainter& painter, const chart::ChartLayout& layout, const std::vector<std::string>& series,
                     const QPoint& at);

}  // namespace tellurio
