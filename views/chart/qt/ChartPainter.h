#pragma once
// Painting what the chart core lays out (views/chart/ChartCore.h and
// SmallCharts.h) with a QPainter on any device: a widget, a back-buffer
// image or a printer page.  The painter only draws; every position, text
// and size comes from the layout.  The painter's state is saved and
// restored by each call.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <vector>

#include "views/chart/ChartCore.h"
#include "views/chart/SmallCharts.h"
#include "views/chart/qt/TextWidths.h"

namespace tellurio::chart {

// A font's metrics for the core, measured on a paint device (a printer
// page measures in its own units) or, without one, on the screen (widths
// then added up from the font's measured characters, TextWidths).
// User-interface thread only.
class QtTextMetrics : public TextMetrics {
 public:
  explicit QtTextMetrics(const QFont& font, const QPaintDevice* device = nullptr);
  int Height() const override;
  int Width(std::string_view text) const override;

 private:
  QFontMetrics metrics_;
  TextWidths* screen_ = nullptr;  // the font's widths on the screen; null on a device
};

inline QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.width, r.height); }
inline Rect FromQRect(const QRect& r) { return Rect{r.left(), r.top(), r.width(), r.height()}; }

// A price or derived chart: white background, value axis with labels and
// grey grid lines, baseline with date labels and ticks, the series in
// black (a single point as a short level mark), the 200-day average in
// green and the 38-day average in blue, the title on top.  On a raster
// device without scaling the number and date labels are drawn from the
// font's glyphs measured once (TextWidths::Glyphs), on the pixels drawText
// gives them; elsewhere (a printer) through drawText.
void PaintChart(QPainter& painter, const ChartLayout& layout, const QFont& titleFont, const QFont& axisFont);

// The value display's cross and label box, combined with the picture by
// exclusive or: painting the same marker twice restores the picture.
void PaintMarker(QPainter& painter, const Marker& marker, const QFont& font);

// The price chart of the fund data window on a white client rectangle.
void PaintFundDataChart(QPainter& painter, const QRect& client, const FundDataChartLayout& layout,
                        const QColor& lineColor);

// A portrait chart on a white rectangle of the layout's size; one colour
// per series (a series without a colour is drawn black).
void PaintPercentChart(QPainter& painter, const QRect& rect, const PercentChartLayout& layout, const QFont& font,
                       const std::vector<QColor>& colors);

}  // namespace tellurio::chart
