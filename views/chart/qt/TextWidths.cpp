#include "views/chart/qt/TextWidths.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>

namespace tellurio {

namespace {

constexpr qreal kUnknown = std::numeric_limits<qreal>::quiet_NaN();

}  // namespace

// horizontalAdvance adds the advances of the glyphs in 1/64 pixel and
// rounds the sum half up to whole pixels.
int TextWidths::Rounded(qreal exact) { return static_cast<int>(std::floor(exact + 0.5)); }

TextWidths::TextWidths(const QFont& font) : font_(font), metrics_(font) {
  advance_.fill(kUnknown);
  glyph_.fill(-1);
}

TextWidths& TextWidths::For(const QFont& font) {
  static std::map<QString, std::unique_ptr<TextWidths>> fonts;
  std::unique_ptr<TextWidths>& w = fonts[font.key()];
  if (!w) w = std::make_unique<TextWidths>(font);
  return *w;
}

qreal TextWidths::Measure(const std::u32string& text) const {
  return metrics_.horizontalAdvance(QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size())));
}

qreal TextWidths::Advance(char32_t c) {
  if (c < 256) {
    qreal& a = advance_[c];
    if (std::isnan(a)) a = Measure(std::u32string(1, c));
    return a;
  }
  auto [it, fresh] = advanceFar_.try_emplace(c, 0);
  if (fresh) it->second = Measure(std::u32string(1, c));
  return it->second;
}

qreal TextWidths::Kerning(char32_t a, char32_t b) {
  auto measure = [&] { return Measure(std::u32string{a, b}) - Advance(a) - Advance(b); };
  if (a < 256 && b < 256) {
    std::unique_ptr<std::array<qreal, 256>>& row = kerning_[a];
    if (!row) {
      row = std::make_unique<std::array<qreal, 256>>();
      row->fill(kUnknown);
    }
    qreal& k = (*row)[b];
    if (std::isnan(k)) k = measure();
    return k;
  }
  auto [it, fresh] = kerningFar_.try_emplace((uint64_t{a} << 32) | b, 0);
  if (fresh) it->second = measure();
  return it->second;
}

qreal TextWidths::Exact(const QString& q, char32_t* first, char32_t* last) {
  char32_t prev = 0;
  qreal w = 0;
  for (qsizetype i = 0; i < q.size(); ++i) {
    const char32_t c = q[i].unicode();
    if (q[i].isSurrogate()) {
      // Outside the basic plane a text is measured as a whole.
      const std::u32string all(q.toStdU32String());
      if (first) *first = all.front();
      if (last) *last = all.back();
      return Measure(all);
    }
    w += Advance(c);
    if (i > 0) w += Kerning(prev, c);
    prev = c;
  }
  if (first && !q.isEmpty()) *first = q.front().unicode();
  if (last) *last = prev;
  return w;
}

bool TextWidths::ExactShort(std::string_view text, qreal& width, char32_t* first, char32_t* last) {
  // The same sums in the same order as Exact, so the same width to the bit.
  const auto* b = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  // Checked first: a text that needs the general way is measured there alone.
  for (size_t i = 0; i < n; ++i) {
    if (b[i] < 0x80) continue;
    if (b[i] < 0xC2 || b[i] > 0xDF || i + 1 >= n || (b[i + 1] & 0xC0) != 0x80) return false;
    ++i;
  }
  char32_t prev = 0;
  qreal w = 0;
  for (size_t i = 0; i < n; ++i) {
    const bool later = i > 0;
    char32_t c = b[i];
    if (c >= 0x80) {
      c = ((c & 0x1F) << 6) | (b[i + 1] & 0x3F);
      ++i;
    }
    w += Advance(c);
    if (later) w += Kerning(prev, c);
    prev = c;
  }
  if (first && n > 0) *first = b[0] < 0x80 ? b[0] : (((b[0] & 0x1Fu) << 6) | (b[1] & 0x3Fu));
  if (last) *last = prev;
  width = w;
  return true;
}

qreal TextWidths::ExactWidth(std::string_view text, char32_t* first, char32_t* last) {
  qreal w = 0;
  if (ExactShort(text, w, first, last)) return w;
  return Exact(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), first, last);
}

int TextWidths::Blanks(qreal exact, char32_t edge, bool empty, bool after, int target, int limit) {
  // The width with k blanks: the text, the first blank with its kerning
  // against the text's edge, and every further blank with the kerning of two
  // blanks.
  const qreal blank = Advance(U' ');
  const qreal firstBlank = empty ? blank : blank + (after ? Kerning(edge, U' ') : Kerning(U' ', edge));
  const qreal step = blank + Kerning(U' ', U' ');
  auto width = [&](int k) { return k == 0 ? exact : exact + firstBlank + (k - 1) * step; };
  auto reached = [&](int k) { return Rounded(width(k)) >= target - 2; };
  int k = 0;
  if (step > 0) k = std::clamp(static_cast<int>((target - 2 - exact - firstBlank) / step), 0, limit);
  while (k > 0 && reached(k - 1)) --k;
  while (k < limit && !reached(k)) ++k;
  return k;
}

int TextWidths::BlanksAfterToReach(const std::string& text, int target, int limit) {
  char32_t last = 0;
  const qreal exact = ExactWidth(text, nullptr, &last);
  return Blanks(exact, last, text.empty(), true, target, limit);
}

int TextWidths::BlanksBeforeToReach(const std::string& text, int target, int limit) {
  char32_t first = 0;
  const qreal exact = ExactWidth(text, &first, nullptr);
  return Blanks(exact, first, text.empty(), false, target, limit);
}

quint32 TextWidths::Glyph(char16_t c) {
  int64_t& g = glyph_[c];
  if (g < 0) {
    if (!raw_.isValid()) raw_ = QRawFont::fromFont(font_);
    const QList<quint32> found = raw_.isValid() ? raw_.glyphIndexesForString(QString(QChar(c))) : QList<quint32>();
    g = found.size() == 1 ? found[0] : 0;
  }
  return static_cast<quint32>(g);
}

bool TextWidths::Glyphs(const QString& text, QList<quint32>& indexes, QList<QPointF>& positions, qreal& width) {
  return GlyphsOf(text.utf16(), text.size(), indexes, positions, width);
}

bool TextWidths::Glyphs(std::string_view text, QList<quint32>& indexes, QList<QPointF>& positions, qreal& width) {
  // A byte of a UTF-8 sequence is never a plain character: such a text
  // gives false, as its QString would.
  return GlyphsOf(reinterpret_cast<const unsigned char*>(text.data()), static_cast<qsizetype>(text.size()), indexes,
                  positions, width);
}

template <typename Unit>
bool TextWidths::GlyphsOf(const Unit* text, qsizetype n, QList<quint32>& indexes, QList<QPointF>& positions,
                          qreal& width) {
  if (font_.underline() || font_.overline() || font_.strikeOut()) return false;
  const qsizetype start = indexes.size();
  indexes.resize(start + n);
  positions.resize(start + n);
  quint32* glyphs = indexes.data() + start;
  QPointF* at = positions.data() + start;
  qreal x = 0;
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = text[i];
    // Blanks, digits and punctuation: letters may form ligatures, and
    // control characters are not drawn as glyphs.
    const bool plain = c >= 0x20 && c < 0x7F && !((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'));
    const quint32 glyph = plain ? Glyph(c) : 0;
    if (glyph == 0) {
      indexes.resize(start);
      positions.resize(start);
      return false;
    }
    glyphs[i] = glyph;
    at[i] = QPointF(x, 0);
    x += Advance(c);
    if (i + 1 < n) x += Kerning(c, text[i + 1]);
  }
  width = x;
  return true;
}

}  // namespace tellurio
