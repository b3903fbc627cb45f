#include "views/qt/GlyphText.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tellurio {

namespace {

// Qt's multiplication of the four 8-bit channels of x by a/255 (rounded),
// with which its raster engine blends.
inline quint32 ByteMul(quint32 x, quint32 a) {
  quint32 t = (x & 0xff00ff) * a;
  t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
  t &= 0xff00ff;
  x = ((x >> 8) & 0xff00ff) * a;
  x = x + ((x >> 8) & 0xff00ff) + 0x800080;
  x &= 0xff00ff00;
  return x | t;
}

// Sub-pixel offsets are kept in 1/256 pixel (glyph advances are multiples
// of 1/64, centred texts of 1/128); a text placed otherwise is left to Qt.
constexpr int kFractions = 256;

// At most this many characters are drawn directly in one text.
constexpr size_t kLongest = 512;

}  // namespace

struct GlyphText::Direct {
  enum class State { Unchecked, On, Off };
  State state = State::Unchecked;
  // Latin-1 character -> its glyph (0: none) and advance.
  std::array<quint32, 256> glyph{};
  std::array<qreal, 256> advance{};
  // The coverage of a glyph at one sub-pixel offset: h rows of stride
  // bytes from offset in coverage (the glyph's w columns, then no coverage
  // up to a multiple of four, so that a row is blended four pixels at a
  // time), placed at (dx, dy) from the integer part of the glyph's
  // position.  Offsets that give the same coverage share a mask.
  struct Mask {
    int dx = 0, dy = 0, w = 0, h = 0, stride = 0;
    size_t offset = 0;
  };
  std::vector<Mask> masks;
  std::vector<uchar> coverage;
  std::array<std::vector<quint16>, 256> masksOfCharacter;
  // Characters are numbered in the order of their first use (1..255), so
  // that the index of one offset stays small.
  std::array<quint8, 256> slot{};
  int slotsUsed = 0;
  // Per vertical offset: the mask of the character in slot s at horizontal
  // offset f is masks[index[f * 256 + s] - 1]; 0 not rendered yet, kNone
  // none (the glyph is too large for the scratch image).
  static constexpr quint16 kNone = 0xFFFF;
  struct Plane {
    int fy = 0;
    std::vector<quint16> index;
  };
  std::vector<Plane> planes;
  // Where Qt renders a glyph for its coverage, at (margin + fx, margin + fy).
  QImage scratch;
  int margin = 0;

  // The number of the mask of character c at the offsets (index into
  // masks + 1), rendered on first use; kNone when there is none.
  quint16 MaskOf(const QRawFont& raw, int c, int fx, int fy);
  quint16 Render(const QRawFont& raw, int c, int fx, int fy);
  void Blit(const Target& t, const Mask& m, int x, int y) const;
};

quint16 GlyphText::Direct::MaskOf(const QRawFont& raw, int c, int fx, int fy) {
  Plane* plane = nullptr;
  for (Plane& p : planes)
    if (p.fy == fy) plane = &p;
  if (!plane) {
    planes.push_back(Plane{fy, std::vector<quint16>(256 * kFractions, 0)});
    plane = &planes.back();
  }
  quint8& s = slot[static_cast<size_t>(c)];
  if (s == 0) s = static_cast<quint8>(++slotsUsed);  // at most 255 characters have glyphs
  quint16& index = plane->index[static_cast<size_t>(fx * 256 + s)];
  if (index == 0) index = Render(raw, c, fx, fy);
  return index;
}

quint16 GlyphText::Direct::Render(const QRawFont& raw, int c, int fx, int fy) {
  scratch.fill(0);
  {
    QPainter p(&scratch);
    p.setPen(Qt::black);
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes({glyph[static_cast<size_t>(c)]});
    // Exact sums: the fractions are multiples of 1/256.
    run.setPositions({QPointF(margin + qreal(fx) / kFractions, margin + qreal(fy) / kFractions)});
    p.drawGlyphRun(QPointF(0, 0), run);
  }
  // On a transparent image a black glyph leaves its coverage as alpha.
  const int size = scratch.width();
  int left = size, right = -1, top = size, bottom = -1;
  for (int y = 0; y < size; ++y) {
    const quint32* line = reinterpret_cast<const quint32*>(scratch.constScanLine(y));
    for (int x = 0; x < size; ++x) {
      if ((line[x] >> 24) == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  Mask m;
  std::vector<uchar> bytes;
  if (right >= 0) {
    if (left == 0 || top == 0 || right == size - 1 || bottom == size - 1) return kNone;  // may be cut off
    m.dx = left - margin;
    m.dy = top - margin;
    m.w = right - left + 1;
    m.h = bottom - top + 1;
    m.stride = (m.w + 3) / 4 * 4;
    for (int y = top; y <= bottom; ++y) {
      const quint32* line = reinterpret_cast<const quint32*>(scratch.constScanLine(y));
      for (int x = left; x <= right; ++x) bytes.push_back(static_cast<uchar>(line[x] >> 24));
      bytes.insert(bytes.end(), static_cast<size_t>(m.stride - m.w), 0);
    }
  }
  std::vector<quint16>& own = masksOfCharacter[static_cast<size_t>(c)];
  for (quint16 i : own) {
    const Mask& o = masks[i - 1u];
    if (o.dx == m.dx && o.dy == m.dy && o.w == m.w && o.h == m.h &&
        std::equal(bytes.begin(), bytes.end(), coverage.begin() + static_cast<std::ptrdiff_t>(o.offset)))
      return i;
  }
  if (masks.size() + 1 >= kNone) return kNone;
  m.offset = coverage.size();
  coverage.insert(coverage.end(), bytes.begin(), bytes.end());
  masks.push_back(m);
  own.push_back(static_cast<quint16>(masks.size()));
  return own.back();
}

// Blends the mask in opaque black at (x, y) + its offset, inside the clip,
// as Qt blends a grey-scale glyph: no coverage keeps the pixel, full
// coverage makes it opaque black, partial coverage c gives alpha c plus
// each channel of the pixel times (255 - c) / 255, rounded.  Without
// branches: coverage 0 keeps the pixel (x * 255 / 255 = x) and coverage 255
// gives opaque black, as Qt's special cases do.
void GlyphText::Direct::Blit(const Target& t, const Mask& m, int x, int y) const {
  const int x0 = x + m.dx, y0 = y + m.dy;
  const int left = std::max(x0, t.clip.left()), right = std::min(x0 + m.w, t.clip.right() + 1);
  const int top = std::max(y0, t.clip.top()), bottom = std::min(y0 + m.h, t.clip.bottom() + 1);
  if (t.touchedAbove && top < t.watchAbove && top < bottom && left < right) *t.touchedAbove = true;
  if (left >= right) return;
  // The columns without coverage after the glyph keep their pixels: blended
  // with them where the clip allows, the rows take whole groups of four.
  const int end = std::min(x0 + m.stride, t.clip.right() + 1);
  for (int row = top; row < bottom; ++row) {
    const uchar* src = coverage.data() + m.offset + static_cast<size_t>((row - y0) * m.stride + (left - x0));
    quint32* dst = t.bits + row * t.stride;
    int col = left;
#if defined(__SSE2__)
    // Four pixels at a time in 16-bit lanes: the same products and the same
    // rounding (t + t / 256 + 128) / 256 per channel as ByteMul.
    const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(0x80);
    const __m128i ones = _mm_set1_epi8(-1), alpha = _mm_set1_epi32(static_cast<int>(0xff000000u));
    for (; col + 4 <= end; col += 4, src += 4) {
      int four;
      std::memcpy(&four, src, 4);
      __m128i c = _mm_cvtsi32_si128(four);
      c = _mm_unpacklo_epi8(c, c);
      c = _mm_unpacklo_epi16(c, c);  // each coverage in the four bytes of its pixel
      const __m128i inverse = _mm_xor_si128(c, ones);
      const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + col));
      __m128i lo = _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(inverse, zero));
      __m128i hi = _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(inverse, zero));
      lo = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(lo, _mm_srli_epi16(lo, 8)), half), 8);
      hi = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(hi, _mm_srli_epi16(hi, 8)), half), 8);
      const __m128i blended = _mm_add_epi8(_mm_packus_epi16(lo, hi), _mm_and_si128(c, alpha));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + col), blended);
    }
#endif
    for (; col < std::min(end, right); ++col, ++src) {
      const quint32 c = *src;
      dst[col] = (c << 24) + ByteMul(dst[col], 255 - c);
    }
  }
}

GlyphText::GlyphText(const QFont& font)
    : font_(font),
      metrics_(font),
      raw_(QRawFont::fromFont(font)),
      ascent_(metrics_.ascent()),
      descent_(metrics_.descent()) {}
GlyphText::GlyphText(GlyphText&&) noexcept = default;
GlyphText& GlyphText::operator=(GlyphText&&) noexcept = default;
GlyphText::~GlyphText() = default;

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
  const qreal baseline = rect.top() + (rect.height() + ascent_ - descent_) / 2;
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

GlyphText::Target GlyphText::TargetOf(QImage& image, const QRect& clip) {
  Target t;
  const QImage::Format f = image.format();
  if (image.isNull() ||
      (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied))
    return t;
  t.bits = reinterpret_cast<quint32*>(image.bits());
  t.stride = image.bytesPerLine() / 4;
  t.clip = clip & image.rect();
  return t;
}

GlyphText::Direct& GlyphText::DirectState() const {
  if (direct_) return *direct_;
  direct_ = std::make_unique<Direct>();
  Direct& d = *direct_;
  d.state = Direct::State::Off;
  if (!raw_.isValid()) return d;
  for (int c = 1; c < 256; ++c) {
    const QChar ch(static_cast<char16_t>(c));
    quint32 g = 0;
    int count = 1;
    if (!raw_.glyphIndexesForChars(&ch, 1, &g, &count) || count != 1 || g == 0) continue;
    QPointF advance;
    if (!raw_.advancesForGlyphIndexes(&g, &advance, 1, QRawFont::SeparateAdvances)) continue;
    d.glyph[static_cast<size_t>(c)] = g;
    d.advance[static_cast<size_t>(c)] = advance.x();
  }
  d.margin = static_cast<int>(std::ceil(metrics_.height() + metrics_.maxWidth())) + 8;
  d.scratch = QImage(2 * d.margin, 2 * d.margin, QImage::Format_ARGB32_Premultiplied);
  // The check: every Latin-1 character with a glyph, in texts at several
  // sub-pixel offsets and alignments, on white and on greys, overlapping
  // and cut by the clip, drawn through QPainter and directly.
  QString all;
  for (int c = 32; c < 256; ++c)
    if (d.glyph[static_cast<size_t>(c)] != 0) all += QChar(static_cast<char16_t>(c));
  const int lineHeight = static_cast<int>(std::ceil(metrics_.height())) + 6;
  const int width = 420;
  const std::array<int, 4> greys = {255, 249, 236, 192};
  QImage viaQt(width, lineHeight * 16, QImage::Format_RGB32);
  for (int y = 0; y < viaQt.height(); ++y) {
    const int grey = greys[static_cast<size_t>(y / lineHeight) % greys.size()];
    quint32* line = reinterpret_cast<quint32*>(viaQt.scanLine(y));
    std::fill(line, line + width, qRgb(grey, grey, grey));
  }
  QImage direct = viaQt.copy();
  const QRect clip(0, 0, width - 23, viaQt.height() - 3);
  const Target target = TargetOf(direct, clip);
  d.state = Direct::State::On;
  bool same = true;
  {
    QPainter p(&viaQt);
    p.setClipRect(clip);
    p.setPen(Qt::black);
    const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    int line = 0;
    for (qsizetype from = 0; from < all.size() && same; from += 20) {
      const QString text = all.mid(from, 20);
      const std::string utf8 = text.toStdString();
      for (int k = 0; k < 3 && same; ++k, ++line) {
        // Offsets of 1/64, 1/128 and whole pixels; right-aligned texts run
        // into the clip; a second text half a pixel on overlaps the first.
        const QRectF rect(3 + (line * 7 % 64) / 64.0 + (k == 2 ? 1 / 128.0 : 0), (line % 16) * lineHeight,
                          width - 6 + k * 10, lineHeight);
        for (qreal shift : {0.0, 0.5}) {
          const QRectF r = rect.translated(shift, 0);
          Draw(p, r, aligns[k], text);
          same = same && DrawDirect(target, r, aligns[k], utf8);
        }
      }
    }
  }
  d.state = same && viaQt == direct ? Direct::State::On : Direct::State::Off;
  return d;
}

bool GlyphText::CanDrawDirect() const { return DirectState().state == Direct::State::On; }

bool GlyphText::DrawDirect(const Target& t, const QRectF& rect, Qt::Alignment align, std::string_view utf8) const {
  if (utf8.empty()) return true;
  if (!t.bits || utf8.size() > kLongest) return false;
  Direct& d = DirectState();
  if (d.state != Direct::State::On) return false;
  // Latin-1 characters from UTF-8 (two-byte forms only up to U+00FF).
  std::array<uchar, kLongest> chars;
  size_t n = 0;
  qreal width = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned c = static_cast<uchar>(utf8[i]);
    if (c >= 0x80) {
      if ((c != 0xC2 && c != 0xC3) || i + 1 >= utf8.size()) return false;
      const unsigned next = static_cast<uchar>(utf8[++i]);
      if ((next & 0xC0) != 0x80) return false;
      c = ((c & 0x1F) << 6) | (next & 0x3F);
    }
    if (d.glyph[c] == 0) return false;
    chars[n++] = static_cast<uchar>(c);
  }
  // Positions as Add gives them: the advances summed from the text's start,
  // then placed at its origin.
  std::array<qreal, kLongest> offsets;
  for (size_t i = 0; i < n; ++i) {
    offsets[i] = width;
    width += d.advance[chars[i]];
  }
  const QPointF origin = Origin(rect, align, width);
  const qreal y = origin.y();
  if (!(y >= 0 && y < 1e6)) return false;
  const qreal fy = (y - std::floor(y)) * kFractions;
  if (fy != std::floor(fy)) return false;
  // Mask numbers, not pointers: rendering a mask may move the others.
  std::array<quint16, kLongest> masks;
  std::array<int, kLongest> xs;
  for (size_t i = 0; i < n; ++i) {
    const qreal x = origin.x() + offsets[i];
    if (!(x >= 0 && x < 1e6)) return false;
    const qreal fx = (x - std::floor(x)) * kFractions;
    if (fx != std::floor(fx)) return false;
    masks[i] = d.MaskOf(raw_, chars[i], static_cast<int>(fx), static_cast<int>(fy));
    if (masks[i] == Direct::kNone) return false;
    xs[i] = static_cast<int>(std::floor(x));
  }
  const int baseline = static_cast<int>(std::floor(y));
  for (size_t i = 0; i < n; ++i) d.Blit(t, d.masks[masks[i] - 1u], xs[i], baseline);
  return true;
}

}  // namespace tellurio
