#pragma once
// Single-line texts of one font drawn as glyph runs: the characters are
// mapped to the font's glyphs and placed by their advances, without the
// shaping a QPainter::drawText does on every call.  The table pane draws
// hundreds of cells per screen this way.  Texts are measured the same way,
// so that what is measured is what is drawn.  A text with a character the
// font has no glyph for is measured and drawn the ordinary way.

#include <QFont>
#include <QFontMetricsF>
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
  const QFont& Font() const { return font_; }

 private:
  // The glyph run of the text; false when the font lacks a glyph.
  bool Shape(const QString& text, QGlyphRun& run, qreal& width) const;

  QFont font_;
  QFontMetricsF metrics_;
  QRawFont raw_;
};

}  // namespace tellurio
