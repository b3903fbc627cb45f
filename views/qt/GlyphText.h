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
//
// Opaque black texts can also be drawn straight into a 32-bit image
// (DrawDirect), bypassing QPainter: each glyph's coverage at each sub-pixel
// offset is rendered once by Qt itself and kept, and then blended per pixel
// the way Qt's raster engine blends grey-scale glyphs.  The pixels are the
// ones QPainter::drawGlyphRun gives; a check on first use compares both ways
// on every glyph of the Latin-1 range, and where they differ (sub-pixel
// antialiasing, gamma-corrected blending, another raster engine) the direct
// way stays off and callers draw through QPainter.

#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QString>
#include <memory>
#include <string_view>

class QPainter;
class QGlyphRun;
class QImage;

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

  // The pixels of a 32-bit image (RGB32, ARGB32 or ARGB32_Premultiplied)
  // that direct drawing may change: those inside clip.  Valid while the
  // image is neither resized nor copied on write.
  struct Target {
    quint32* bits = nullptr;
    qsizetype stride = 0;  // in pixels
    QRect clip;
    // When set: made true by a glyph drawn (in part) above the line watchAbove.
    bool* touchedAbove = nullptr;
    int watchAbove = 0;
  };
  static Target TargetOf(QImage& image, const QRect& clip);
  // Whether DrawDirect can draw at all (the check of the first call).
  bool CanDrawDirect() const;
  // Draws the UTF-8 text in opaque black inside rect as Draw with a black pen
  // and the target's clip would; false, and nothing drawn, when it cannot
  // give the same pixels (a character outside Latin-1 or without a glyph,
  // damaged UTF-8, a position left of or above the image, a glyph too large).
  // Not thread-safe: it fills caches of this object (GUI thread only).
  bool DrawDirect(const Target& target, const QRectF& rect, Qt::Alignment align, std::string_view utf8) const;

  GlyphText(GlyphText&&) noexcept;
  GlyphText& operator=(GlyphText&&) noexcept;
  ~GlyphText();

 private:
  struct Direct;
  Direct& DirectState() const;
  // The glyph run of the text; false when the font lacks a glyph.
  bool Shape(const QString& text, QGlyphRun& run, qreal& width) const;
  // The x of the first glyph and the baseline of a text of that width.
  QPointF Origin(const QRectF& rect, Qt::Alignment align, qreal width) const;

  QFont font_;
  QFontMetricsF metrics_;
  QRawFont raw_;
  // The font's ascent and descent, asked once: every cell's baseline needs
  // them, and the metrics look the font engine up under a lock each time.
  qreal ascent_, descent_;
  mutable std::unique_ptr<Direct> direct_;  // made on the first direct draw
};

}  // namespace tellurio
