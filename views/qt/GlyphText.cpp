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
  p.drawGlyphRun(Origin(rect, align, width), run);
}

QPointF GlyphText::Origin(const QRectF& rect, Qt::Alignment align, qreal width) const {
  qreal x = rect.left();
  if (align & Qt::AlignRight) x = rect.right() - width;
  if (align & Qt::AlignHCenter) x = rect.left() + (rect.width() - width) / 2;
  const qreal baseline = rect.top() + (rect.height() + metrics_.ascent() - metrics_.descent()) / 2;
  return QPointF(x, baseline);
}

bool GlyphText::Add(Batch& batch, const QRectF& rect, Qt::Alignment align, const QString& text) const {
  if (text.isEmpty()) return true;
  if (!raw_.isValid()) return false;
  const qsizetype start = batch.glyphs.size();
  // Room for one glyph per UTF-16 unit, trimmed to what the font gives.
  batch.glyphs.resize(start + text.size());
  int count = static_cast<int>(text.size());
  if (!raw_.glyphIndexesForChars(text.constData(), static_cast<int>(text.size()), batch.glyphs.data() + start,
                                 &count)) {
    batch.glyphs.resize(start);
    return false;
  }
  batch.glyphs.resize(start + count);
  for (qsizetype i = start; i < batch.glyphs.size(); ++i) {
    if (batch.glyphs[i] == 0) {
      batch.glyphs.resize(start);
      return false;
    }
  }
  batch.positions.resize(start + count);
  QPointF* advances = batch.positions.data() + start;
  if (!raw_.advancesForGlyphIndexes(batch.glyphs.constData() + start, advances, count, QRawFont::SeparateAdvances)) {
    batch.glyphs.resize(start);
    batch.positions.resize(start);
    return false;
  }
  // The same sums as a run of its own: offsets from the text's start, then
  // placed at its origin.
  qreal width = 0;
  for (int i = 0; i < count; ++i) {
    const qreal advance = advances[i].x();
    advances[i] = QPointF(width, 0);
    width += advance;
  }
  const QPointF origin = Origin(rect, align, width);
  for (int i = 0; i < count; ++i) advances[i] = origin + advances[i];
  return true;
}

void GlyphText::Flush(QPainter& p, Batch& batch) const {
  if (batch.glyphs.isEmpty()) return;
  QGlyphRun run;
  run.setRawFont(raw_);
  run.setGlyphIndexes(batch.glyphs);
  run.setPositions(batch.positions);
  p.drawGlyphRun(QPointF(0, 0), run);
  batch.glyphs.clear();
  batch.positions.clear();
}

void GlyphText::DrawBatched(QPainter& p, Batch& batch, const QRectF& rect, Qt::Alignment align,
                            const QString& text) const {
  if (Add(batch, rect, align, text)) return;
  Flush(p, batch);
  Draw(p, rect, align, text);
}

}  // namespace tellurio
