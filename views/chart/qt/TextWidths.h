#pragma once
// The widths of texts in one font, added up from the advance of each
// character and the kerning of each pair of neighbouring characters, each
// measured once per font, instead of laying out every text: the fund list of
// thousands of funds is built in a fraction of a millisecond, and a chart's
// labels are measured and drawn without shaping each one.
//
// Widths are those of QFontMetrics::horizontalAdvance on the screen.

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tellurio {

// The widths of texts in one font.  User-interface thread only.
class TextWidths {
 public:
  explicit TextWidths(const QFont& font);
  // The width of a UTF-8 text in whole pixels, as horizontalAdvance gives it.
  int Width(std::string_view text) { return Rounded(ExactWidth(text)); }
  // The width before rounding, as the font engine adds it up (1/64 pixel).
  // first and last (when given) receive the text's first and last code
  // point (last: 0 for an empty text).
  qreal ExactWidth(std::string_view text, char32_t* first = nullptr, char32_t* last = nullptr);
  qreal ExactWidth(const QString& text) { return Exact(text); }
  // An exact width in whole pixels, rounded as horizontalAdvance rounds.
  static int Rounded(qreal exact);
  // The fewest blanks to add after (or before) text so that its width
  // reaches at least target - 2, at most `limit`: what adding one blank after
  // the other and measuring each time finds.
  int BlanksAfterToReach(const std::string& text, int target, int limit);
  int BlanksBeforeToReach(const std::string& text, int target, int limit);
  // The same for a text measured before: its exact width, the code point at
  // the edge the blanks go to (last for after, first for before) and whether
  // it is empty.
  int BlanksToReach(qreal exact, char32_t edge, bool empty, bool after, int target, int limit) {
    return Blanks(exact, edge, empty, after, target, limit);
  }

  // The glyphs of a text as QPainter::drawText places them on a raster
  // device, appended to indexes and positions (the text's origin at (0, 0)
  // on the baseline), and the text's width.  Only for texts of ASCII
  // digits, punctuation and blanks, which no font joins or replaces: false,
  // with nothing appended, for any other text, for a character the font has
  // no glyph for and for a decorated font (underline, overline,
  // strike-out); draw those with drawText.  Draw the glyphs with a
  // QGlyphRun of RawFont().
  bool Glyphs(const QString& text, QList<quint32>& indexes, QList<QPointF>& positions, qreal& width);
  // The same for a UTF-8 text, without converting it.
  bool Glyphs(std::string_view text, QList<quint32>& indexes, QList<QPointF>& positions, qreal& width);
  const QRawFont& RawFont() const { return raw_; }

  // The widths of a font, kept for the life of the program.
  static TextWidths& For(const QFont& font);

 private:
  // The exact width (in the 1/64 pixels the font engine adds up) of the
  // code points; first and last receive the first and last code point.
  qreal Exact(const QString& text, char32_t* first = nullptr, char32_t* last = nullptr);
  // Exact for a UTF-8 text of ASCII and two-byte sequences (code points
  // below U+0800: one UTF-16 unit each, as QString::fromUtf8 makes them),
  // without making a QString; false, with nothing measured, for any other
  // text.
  bool ExactShort(std::string_view text, qreal& width, char32_t* first, char32_t* last);
  qreal Advance(char32_t c);
  qreal Kerning(char32_t a, char32_t b);
  qreal Measure(const std::u32string& text) const;
  int Blanks(qreal exact, char32_t edge, bool empty, bool after, int target, int limit);
  template <typename Unit>
  bool GlyphsOf(const Unit* text, qsizetype n, QList<quint32>& indexes, QList<QPointF>& positions, qreal& width);
  // The glyph of an ASCII character; 0 when the font has none.
  quint32 Glyph(char16_t c);

  QFont font_;
  QFontMetricsF metrics_;
  std::array<qreal, 256> advance_;  // NaN until measured
  // Per first character below 256: the kerning against each second one
  // below 256, NaN until measured; a row is made when first needed (texts
  // use a few dozen first characters, and rows never needed take no
  // memory).
  std::array<std::unique_ptr<std::array<qreal, 256>>, 256> kerning_;
  std::unordered_map<char32_t, qreal> advanceFar_;  // code points from 256 on
  std::unordered_map<uint64_t, qreal> kerningFar_;
  QRawFont raw_;                    // loaded with the first glyph asked for
  std::array<int64_t, 128> glyph_;  // -1 until looked up
};

}  // namespace tellurio
