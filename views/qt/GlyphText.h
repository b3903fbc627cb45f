#pragma once
// Single-line texts of one font drawn as glyph runs: the characters are
// mapped to the font's glyphs and placed by their advances, without the
// shaping a QPainter::drawText does on every call.  The table pane draws
// hundreds of cells per screen this way.  Texts are measured the same way,
// so that what is measured is what is drawn.  A text with a character the
// font has no glyph for is measured and drawn the ordinary way.
//
// Texts drawn one after another without anything else in between can be
// collected in a Batch and drawn in one call: the glyphs land on the same
// pixels, in the same order, as with one Draw per text.

#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QString>

class QPainter;
class QGlyphRun;

namespace tellurio {

class GlyphText {
 public:
  explicit GlyphText(const QFont& font);

  qreal Width(const QString& text) const;
  // Draws text inside rect: horizontally as align says, vertically centred.
  void Draw(QPainter& painter, const QRectF& rect, Qt::Alignment align, const QString& text) const;

  // Glyphs placed for drawing, in the order they are drawn.
  struct Batch {
    QList<quint32> glyphs;
    QList<QPointF> positions;
  };
  // Places text as Draw would and adds its glyphs to the batch; false (and
  // nothing added) when the font lacks one of its glyphs: the caller then
  // draws the batch so far and the text with Draw.
  bool Add(Batch& batch, const QRectF& rect, Qt::Alignment align, const QString& text) const;
  // Draws the batch with the painter's pen and empties it.
  void Flush(QPainter& painter, Batch& batch) const;
  // Draws text inside rect like Draw, through the batch where it can.
  void DrawBatched(QPainter& painter, Batch& batch, const QRectF& rect, Qt::Alignment align, const QString& text) const;
  const QFont& Font() const { return font_; }

 private:
  // The glyph run of the text; false when the font lacks a glyph.
  bool Shape(const QString& text, QGlyphRun& run, qreal& width) const;
  // The x of the first glyph and the baseline of a text of that width.
  QPointF Origin(const QRectF& rect, Qt::Alignment align, qreal width) const;

  QFont font_;
  QFontMetricsF metrics_;
  QRawFont raw_;
};

}  // namespace tellurio
