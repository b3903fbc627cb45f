#include "views/chart/qt/ChartPainter.h"

#include <QPainterPath>
#include <QPen>
#include <QPolygon>

namespace tellurio::chart {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QPolygon Polygon(const std::vector<Point>& points) {
  QPolygon polygon(static_cast<int>(points.size()));
  for (size_t i = 0; i < points.size(); ++i) polygon.setPoint(static_cast<int>(i), points[i].x, points[i].y);
  return polygon;
}

QLine ToQLine(const Line& l) { return QLine(l.from.x, l.from.y, l.to.x, l.to.y); }

}  // namespace

QtTextMetrics::QtTextMetrics(const QFont& font, const QPaintDevice* device)
    : metrics_(device ? QFontMetrics(font, device) : QFontMetrics(font)) {}

int QtTextMetrics::Height() const { return metrics_.height(); }

int QtTextMetrics::Width(std::string_view text) const {
  return metrics_.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void PaintChart(QPainter& p, const ChartLayout& g, const QFont& titleFont, const QFont& axisFont) {
  p.save();
  p.fillRect(ToQRect(g.area), Qt::white);
  p.setFont(axisFont);
  const QPen black(Qt::black, 1);
  const QPen grid(QColor(200, 200, 200), 1);
  p.setPen(black);
  p.drawLine(g.plotLeft, g.baseline, g.plotLeft, g.plotTop);
  for (const GridLabel& label : g.grid) {
    p.setPen(grid);
    if (label.line) p.drawLine(g.plotLeft, label.y, g.plotRight, label.y);
    p.setPen(black);
    p.drawText(ToQRect(label.box), Qt::AlignRight | Qt::AlignVCenter, Q(label.text));
  }
  p.drawLine(g.plotLeft, g.baseline, g.plotRight, g.baseline);
  for (const DateLabel& d : g.dates) {
    p.drawLine(d.x, g.baseline, d.x, g.baseline + 3);
    p.drawText(ToQRect(d.box), Qt::AlignLeft | Qt::AlignTop, Q(d.text));
  }

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
  p.drawText(ToQRect(g.titleBox), Qt::AlignHCenter | Qt::AlignTop, Q(g.title));
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
