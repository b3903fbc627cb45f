#include "views/qt/GlyphText.h"

#include <QGlyphRun>
#include <QPainter>

namespace tellurio {

GlyphText::GlyphText(const QFont& font) : font_(font), metrics_(font), raw_(QRawFont::fromFont(font)) {}

bool GlyphText::Shape(const QString& text, QGlyphRun& run, qreal& width) const {
  if (!raw_.isValid()) return false;
  const QList<quint32> glyphs = raw_.glyphIndexesForString(text);
  for (quint32 g : glyphs)
    if (g == 0) return false;
  const QList<QPointF> advances = raw_.advancesForGlyphIndexes(glyphs);
  QList<QPointF> positions(glyphs.size());
  width = 0;
  for (qsizetype i = 0; i < glyphs.size(); ++i) {
    positions[i] = QPointF(width, 0);
    width += advances[i].x();
  }
  run.setRawFont(raw_);
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  return true;
}

qreal GlyphText::Width(const QString& text) const {
  if (raw_.isValid()) {
    const QList<quint32> glyphs = raw_.glyphIndexesForString(text);
    bool complete = true;
    for (quint32 g : glyphs) complete = complete && g != 0;
    if (complete) {
      qreal width = 0;
      for (const QPointF& a : raw_.advancesForGlyphIndexes(glyphs)) width += a.x();
      return width;
    }
  }
  return metrics_.horizontalAdvance(text);
}

void GlyphText::Draw(QPainter& p, const QRectF& rect, Qt::Alignment align, const QString& text) const {
  if (text.isEmpty()) return;
  QGlyphRun run;
  qreal width = 0;
  if (!Shape(text, run, width)) {
    p.setFont(font_);
    p.drawText(rect, static_cast<int>(align | Qt::AlignVCenter), text);
    return;
  }
  qreal x = rect.left();
  if (align & Qt::AlignRight) x = rect.right() - width;
  if (align & Qt::AlignHCenter) x = rect.left() + (rect.width() - width) / 2;
  const qreal baseline = rect.top() + (rect.height() + metrics_.ascent() - metrics_.descent()) / 2;
  p.drawGlyphRun(QPointF(x, baseline), run);
}

}  // namespace tellurio
