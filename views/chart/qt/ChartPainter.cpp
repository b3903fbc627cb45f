#include "views/chart/qt/ChartPainter.h"

#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QPolygon>

#include <algorithm>

namespace tellurio::chart {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QPolygon Polygon(const std::vector<Point>& points) {
  QPolygon polygon(static_cast<int>(points.size()));
  for (size_t i = 0; i < points.size(); ++i) polygon.setPoint(static_cast<int>(i), points[i].x, points[i].y);
  return polygon;
}

QLine ToQLine(const Line& l) { return QLine(l.from.x, l.from.y, l.to.x, l.to.y); }

// A line of one pixel along an axis, ends included: the same pixels as
// drawLine with a pen of width 1, at a fraction of its cost (a chart has
// dozens of grid lines).
void AxisLine(QPainter& p, int x1, int y1, int x2, int y2, const QColor& color) {
  p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))), color);
}

// Text placed in a box as drawText(box, alignment, text) places a single
// line, to the same fraction of a pixel, without its layout pass (a chart
// draws a hundred labels).  With the font's widths (a raster device without
// scaling) the glyphs of texts of digits and punctuation are collected,
// without shaping them, and drawn together by Flush: the labels never
// overlap each other or the lines drawn between them.  Flush before the
// painter's pen changes.
enum class Place { Right, Left, Centre };
class Labels {
 public:
  Labels(QPainter& p, const QFontMetricsF& metrics, TextWidths* widths)
      : p_(p), m_(metrics), height_(metrics.height()), ascent_(metrics.ascent()), widths_(widths) {}

  void BoxText(const Rect& box, Place place, bool vcentre, const std::string& utf8) {
    qreal width = 0;
    const qsizetype start = indexes_.size();
    const bool glyphs = widths_ && widths_->Glyphs(std::string_view(utf8), indexes_, positions_, width);
    const QString text = glyphs ? QString() : Q(utf8);
    if (!glyphs && place != Place::Left) width = m_.horizontalAdvance(text);
    qreal x = box.left;
    if (place == Place::Right) x = box.left + box.width - width;
    if (place == Place::Centre) x = box.left + (box.width - width) / 2;
    const qreal top = vcentre ? box.top + (box.height - height_) / 2 : box.top;
    const QPointF origin(x, top + ascent_);
    if (!glyphs) {
      p_.drawText(origin, text);
      return;
    }
    // The sum drawGlyphRun forms for a glyph of a run drawn at origin.
    QPointF* const at = positions_.data();
    for (qsizetype i = start; i < positions_.size(); ++i) at[i] = origin + at[i];
  }

  // Room for the glyphs of texts of that many characters in all.
  void Reserve(qsizetype characters) {
    if (!widths_) return;
    indexes_.reserve(characters);
    positions_.reserve(characters);
  }

  void Flush() {
    if (indexes_.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(widths_->RawFont());
    run.setGlyphIndexes(indexes_);
    run.setPositions(positions_);
    p_.drawGlyphRun(QPointF(0, 0), run);
    indexes_.clear();
    positions_.clear();
  }

 private:
  QPainter& p_;
  const QFontMetricsF& m_;
  const qreal height_, ascent_;  // of the font, asked once per chart
  TextWidths* widths_;           // null: every text through drawText
  QList<quint32> indexes_;
  QList<QPointF> positions_;
};

// A raster device (an image, a widget's back buffer) painted without
// scaling.
bool UnscaledRaster(const QPainter& p) {
  return p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster &&
         p.combinedTransform().type() <= QTransform::TxTranslate;
}

// The font's widths where drawText on the painter places glyphs as on the
// screen: an unscaled raster device and a font sized in pixels; none
// elsewhere.
TextWidths* RasterWidths(const QPainter& p, const QFont& font) {
  return UnscaledRaster(p) && font.pixelSize() > 0 ? &TextWidths::For(font) : nullptr;
}

}  // namespace

QtTextMetrics::QtTextMetrics(const QFont& font, const QPaintDevice* device)
    : metrics_(device ? QFontMetrics(font, device) : QFontMetrics(font)),
      screen_(device ? nullptr : &TextWidths::For(font)) {}

int QtTextMetrics::Height() const { return metrics_.height(); }

int QtTextMetrics::Width(std::string_view text) const {
  if (screen_) return screen_->Width(text);
  return metrics_.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void PaintChart(QPainter& p, const ChartLayout& g, const QFont& titleFont, const QFont& axisFont) {
  p.save();
  if (UnscaledRaster(p)) {
    // With a rectangular clip the raster engine writes the pixels of a line
    // directly instead of through its span functions (several times faster
    // for a jagged series); clipped to the device, every pixel stays as it
    // was.
    const QRect device(0, 0, p.device()->width(), p.device()->height());
    p.setClipRect(p.combinedTransform().inverted().mapRect(device), Qt::IntersectClip);
  }
  p.fillRect(ToQRect(g.area), Qt::white);
  p.setFont(axisFont);
  const QFontMetricsF axis(axisFont, p.device());
  Labels axisLabels(p, axis, RasterWidths(p, axisFont));
  qsizetype characters = 0;
  for (const GridLabel& label : g.grid) characters += static_cast<qsizetype>(label.text.size());
  for (const DateLabel& d : g.dates) characters += static_cast<qsizetype>(d.text.size());
  axisLabels.Reserve(characters);
  const QPen black(Qt::black, 1);
  const QColor grid(200, 200, 200);
  p.setPen(black);
  AxisLine(p, g.plotLeft, g.baseline, g.plotLeft, g.plotTop, Qt::black);
  for (const GridLabel& label : g.grid) {
    if (label.line) AxisLine(p, g.plotLeft, label.y, g.plotRight, label.y, grid);
    axisLabels.BoxText(label.box, Place::Right, true, label.text);
  }
  AxisLine(p, g.plotLeft, g.baseline, g.plotRight, g.baseline, Qt::black);
  for (const DateLabel& d : g.dates) {
    AxisLine(p, d.x, g.baseline, d.x, g.baseline + 3, Qt::black);
    axisLabels.BoxText(d.box, Place::Left, false, d.text);
  }
  axisLabels.Flush();  // in black, before the pen changes

  p.setRenderHint(QPainter::Antialiasing, false);
  if (g.points.size() == 1) {
    // A single price: a short level mark, since a polyline of one point
    // draws nothing.
    p.setPen(black);
    p.drawLine(g.points[0].x - 3, g.points[0].y, g.points[0].x + 3, g.points[0].y);
  } else if (!g.points.empty()) {
    p.setPen(black);
    p.drawPolyline(Polygon(g.points));
  }
  if (!g.average200.empty()) {
    p.setPen(QPen(QColor(0, 160, 0), 1));
    p.drawPolyline(Polygon(g.average200));
  }
  if (!g.average38.empty()) {
    p.setPen(QPen(QColor(0, 0, 255), 1));
    p.drawPolyline(Polygon(g.average38));
  }

  p.setFont(titleFont);
  p.setPen(Qt::black);
  const QFontMetricsF titleMetrics(titleFont, p.device());
  Labels title(p, titleMetrics, nullptr);  // words: laid out by drawText
  title.BoxText(g.titleBox, Place::Centre, false, g.title);
  p.restore();
}

void PaintMarker(QPainter& p, const Marker& m, const QFont& font) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, false);
  p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  const QColor yellow(255, 255, 0);
  p.setPen(QPen(yellow, 1));
  p.drawLine(ToQLine(m.horizontal));
  p.drawLine(ToQLine(m.vertical));
  // Without antialiasing, so that every pixel is inverted exactly once.
  QFont plain = font;
  plain.setStyleStrategy(QFont::NoAntialias);
  p.setFont(plain);
  const QRect box = ToQRect(m.box);
  p.fillRect(box, QColor(0, 0, 255));
  p.setPen(QPen(yellow, 1));
  p.drawRect(box.adjusted(0, 0, -1, -1));
  p.drawText(box, Qt::AlignCenter, Q(m.text));
  p.restore();
}

void PaintFundDataChart(QPainter& p, const QRect& client, const FundDataChartLayout& g, const QColor& lineColor) {
  p.save();
  p.fillRect(client, Qt::white);
  p.setPen(QPen(Qt::black, 1));
  p.drawLine(ToQLine(g.valueAxis));
  p.drawLine(ToQLine(g.timeAxis));
  if (!g.points.empty()) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(lineColor, 1.2));
    p.drawPolyline(Polygon(g.points));
  }
  p.restore();
}

void PaintPercentChart(QPainter& p, const QRect& rect, const PercentChartLayout& g, const QFont& font,
                       const std::vector<QColor>& colors) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect, Qt::white);
  p.setFont(font);
  if (g.empty) {
    p.setPen(Qt::black);
    p.drawText(rect, Qt::AlignCenter, QStringLiteral("Keine Angaben"));
    p.restore();
    return;
  }
  for (const PercentMark& m : g.marks) {
    p.setPen(m.zero ? QPen(Qt::black, 1) : QPen(QColor(225, 225, 225), 1));
    p.drawLine(QPointF(g.plotLeft, m.y), QPointF(g.plotRight, m.y));
    p.setPen(Qt::black);
    p.drawText(QRectF(m.boxLeft, m.boxTop, m.boxWidth, m.boxHeight), Qt::AlignRight | Qt::AlignVCenter, Q(m.text));
  }
  p.setPen(QPen(Qt::black, 1));
  p.drawLine(QPoint(g.plotLeft, g.plotBottom), QPoint(g.plotLeft, g.plotTop));
  p.drawLine(QPoint(g.plotLeft, g.plotBottom), QPoint(g.plotRight, g.plotBottom));
  for (const PercentLabel& l : g.labels) {
    p.drawLine(QPointF(l.x, g.plotBottom), QPointF(l.x, g.plotBottom + 3));
    p.drawText(QRectF(l.boxLeft, l.boxTop, l.boxWidth, l.boxHeight), Qt::AlignCenter, Q(l.text));
  }
  for (size_t s = 0; s < g.lines.size(); ++s) {
    QPainterPath path;
    for (size_t i = 0; i < g.lines[s].size(); ++i) {
      const QPointF pt(g.lines[s][i].x, g.lines[s][i].y);
      if (i == 0)
        path.moveTo(pt);
      else
        path.lineTo(pt);
    }
    p.setPen(QPen(s < colors.size() ? colors[s] : QColor(Qt::black), 2));
    p.drawPath(path);
  }
  p.restore();
}

}  // namespace tellurio::chart
