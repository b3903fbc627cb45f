// List-file scrambling: the line-by-line reference forms and the vectorised
// whole-file decoder that the record store reads its data files with.

#include <atomic>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "platform/Codec1252.h"
#include "storage/ListFile.h"
#include "storage/detail/LineTable.h"
#include "storage/detail/Scramble.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tellurio {
namespace detail {

void AppendEncodedLine(std::string& out, std::string_view line, unsigned char k, bool firstLine) {
  if (line.empty()) {
    if (firstLine)
      out.push_back(static_cast<char>(k));  // an empty first string is stored as a blank
    else
      out.push_back(' ');
    return;
  }
  size_t j = 0;
  if (firstLine) {
    out.push_back(static_cast<char>(k));
    j = 1;
  }
  for (; j < line.size(); ++j) out.push_back(static_cast<char>(EncodeByte(static_cast<unsigned char>(line[j]), j, k)));
}

// Collects decoded text and line ends; capacities are fixed up front from the
// input size, so no check is needed per byte.  Line ends go straight into
// their 15-bit offsets from the start of their block of LineTable::kBlock
// lines; a block whose text grows longer than such an offset reaches turns
// into a block of 32-bit positions.
class LineBuilder {
 public:
  LineBuilder(size_t textCapacity, size_t maxLines)
      : text_(textCapacity),
        // The decoders write up to 31 entries past the last line end.
        ends_((maxLines + 32) * sizeof(uint16_t)),
        blocks_((maxLines / LineTable::kBlock + 2) * sizeof(uint32_t)) {
    out_ = text_.data();
    ends16_ = reinterpret_cast<uint16_t*>(ends_.data());
    blocks32_ = reinterpret_cast<uint32_t*>(blocks_.data());
  }
  void Put(char c) { out_[w_++] = c; }
  void Put1252(unsigned char c) {
    if (c < 0x80) {
      out_[w_++] = static_cast<char>(c);
      return;
    }
    scratch_.clear();
    AppendUtf8OfCp1252(scratch_, c);
    std::memcpy(out_ + w_, scratch_.data(), scratch_.size());
    w_ += scratch_.size();
  }
  char* Cursor() { return out_ + w_; }
  void Advance(size_t n) { w_ += n; }
  size_t Pos() const { return w_; }
  // Records the "\n" written at text position pos.
  void EndAt(size_t pos, bool cr) {
    const size_t rel = pos - blockStart_;
    if (!wideBlock_ && rel > kMaxShort) MakeBlockWide();
    if (wideBlock_)
      stage_.push_back(static_cast<uint32_t>(pos) | (cr ? LineTable::kCr32 : 0u));
    else
      ends16_[lines_] = static_cast<uint16_t>(rel | (cr ? LineTable::kCr16 : 0u));
    if (++lines_ == blockFirst_ + LineTable::kBlock) CloseBlock(pos);
  }
  // Records the n line feeds of a block of 16 or 32 bytes written at text
  // position w: bit p of lf is a "\n" at w + p, bit p of cr a "\r" before
  // it.  Up to four are written without a branch per line.
  __attribute__((always_inline)) void EndMany(size_t w, unsigned lf, unsigned cr, unsigned n) {
    if (wideBlock_ || w + 32 - blockStart_ > kMaxShort) {
      EndEach(w, lf, cr);
      return;
    }
    const uint32_t rel = static_cast<uint32_t>(w - blockStart_);
    uint16_t* out = ends16_ + lines_;
    unsigned m = lf;
    // Past the last line feed, bit is 32 and the entry is left over (it is
    // written again or never read).
    const uint64_t crs = cr;
    for (int k = 0; k < 4; ++k) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctzll(uint64_t{m} | (uint64_t{1} << 32)));
      out[k] = static_cast<uint16_t>((rel + bit) | static_cast<uint32_t>(((crs >> bit) & 1u) << 15));
      m &= m - 1;
    }
    for (unsigned k = 4; k < n; ++k) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(m));
      out[k] = static_cast<uint16_t>((rel + bit) | (((cr >> bit) & 1u) << 15));
      m &= m - 1;
    }
    lines_ += n;
    if (lines_ >= blockFirst_ + LineTable::kBlock) NextBlock();
  }
  void EndLine(bool cr) {
    EndAt(w_, cr);
    out_[w_++] = '\n';
  }
  // The cursor for a decoder that writes text and short line ends itself
  // (usable unless the current block has long ones); given back before any
  // other call.
  static constexpr size_t kBlock = LineTable::kBlock;
  struct Fast {
    char* text;
    size_t w;
    uint16_t* ends;
    size_t lines;
    size_t blockStart;
    size_t blockFirst;
    bool usable;
  };
  Fast TakeFast() const { return Fast{out_, w_, ends16_, lines_, blockStart_, blockFirst_, !wideBlock_}; }
  void GiveFast(const Fast& f) {
    w_ = f.w;
    lines_ = f.lines;
    blockStart_ = f.blockStart;
    blockFirst_ = f.blockFirst;
  }
  // NextBlock on the cursor of a fast decoder, inline so that its loop
  // keeps its constants in registers across it.
  __attribute__((always_inline)) void NextBlockFast(Fast& f) {
    const size_t boundary = f.blockFirst + LineTable::kBlock;
    const size_t lastEnd = f.blockStart + (f.ends[boundary - 1] & ~LineTable::kCr16);
    blocks32_[blocksN_++] = static_cast<uint32_t>(f.blockStart);
    const uint16_t delta = static_cast<uint16_t>(lastEnd + 1 - f.blockStart);
    for (size_t l = boundary; l < f.lines; ++l) f.ends[l] = static_cast<uint16_t>(f.ends[l] - delta);
    f.blockStart = lastEnd + 1;
    f.blockFirst = boundary;
  }
  // The current (short) block is full: the lines after its last one begin
  // the next block and are counted from its start instead.
  __attribute__((noinline)) void NextBlock() {
    const size_t boundary = blockFirst_ + LineTable::kBlock;
    const size_t lastEnd = blockStart_ + (ends16_[boundary - 1] & ~LineTable::kCr16);
    blocks32_[blocksN_++] = static_cast<uint32_t>(blockStart_);
    const uint16_t delta = static_cast<uint16_t>(lastEnd + 1 - blockStart_);
    for (size_t l = boundary; l < lines_; ++l) ends16_[l] = static_cast<uint16_t>(ends16_[l] - delta);
    blockStart_ = lastEnd + 1;
    blockFirst_ = boundary;
  }
  LineTable::Chunk Finish() {
    if (lines_ > blockFirst_) {
      const size_t lastEnd =
          wideBlock_ ? (stage_.back() & ~LineTable::kCr32) : blockStart_ + (ends16_[lines_ - 1] & ~LineTable::kCr16);
      CloseBlock(lastEnd);
    }
    // The buffers were made for the longest text the input could give.
    text_.Shrink(w_);
    ends_.Shrink(lines_ * sizeof(uint16_t));
    LineTable::Chunk c;
    c.text = std::move(text_);
    c.ends = std::move(ends_);
    c.blocks = std::move(blocks_);
    c.wide = std::move(wide_);
    c.count = lines_;
    return c;
  }

 private:
  static constexpr size_t kMaxShort = 0x7FFF;

  __attribute__((noinline)) void EndEach(size_t w, unsigned lf, unsigned cr) {
    for (unsigned m = lf; m != 0; m &= m - 1) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(m));
      EndAt(w + bit, (cr >> bit) & 1u);
    }
  }
  // The current block's line ends so far, as 32-bit positions.
  void MakeBlockWide() {
    wideBlock_ = true;
    stage_.clear();
    for (size_t l = blockFirst_; l < lines_; ++l) {
      const uint32_t e = ends16_[l];
      stage_.push_back(static_cast<uint32_t>(blockStart_ + (e & ~LineTable::kCr16)) | ((e >> 15) << 31));
    }
  }
  // Ends the current block, whose last line feed is at text position lastEnd.
  void CloseBlock(size_t lastEnd) {
    if (wideBlock_) {
      blocks32_[blocksN_++] = LineTable::kWide | static_cast<uint32_t>(wide_.size());
      wide_.push_back(static_cast<uint32_t>(blockStart_));
      wide_.insert(wide_.end(), stage_.begin(), stage_.end());
      wideBlock_ = false;
    } else {
      blocks32_[blocksN_++] = static_cast<uint32_t>(blockStart_);
    }
    blockStart_ = lastEnd + 1;
    blockFirst_ = lines_;
  }

  Memory text_;
  Memory ends_;
  Memory blocks_;
  std::vector<uint32_t> wide_;
  char* out_;
  uint16_t* ends16_;
  uint32_t* blocks32_;
  size_t w_ = 0;
  size_t lines_ = 0;       // lines ended so far
  size_t blocksN_ = 0;     // blocks closed so far
  size_t blockStart_ = 0;  // text position of the current block's first line
  size_t blockFirst_ = 0;  // index of the current block's first line
  bool wideBlock_ = false;
  std::vector<uint32_t> stage_;  // line ends of the current block while it is wide
  std::string scratch_;
};

namespace {

// The widest vector instructions the decoder may use (LimitVectorWidth).
std::atomic<int> g_widthLimit{3};

// Files from this size on are decoded in two halves at once.
constexpr size_t kParallelFrom = size_t(4) << 20;

// Decodes bytes in[i..n) of the lines after the first (i >= 1); j is the
// position in its line of in[i], mod 256.  Scalar; also handles the tail of
// the vector loop.
void DecodeScalar(const unsigned char* in, size_t i, size_t n, size_t j, unsigned char k, LineBuilder& b) {
  for (; i < n; ++i) {
    const unsigned char c = in[i];
    if (c == '\n') {
      const bool cr = in[i - 1] == '\r';
      b.EndLine(cr);
      j = 0;
      continue;
    }
    if (c == '\r' && i + 1 < n && in[i + 1] == '\n') {
      b.Put('\r');
      ++j;
      continue;
    }
    if (c == ' ' && in[i - 1] == '\n' &&
        (i + 1 == n || in[i + 1] == '\n' || (in[i + 1] == '\r' && i + 2 < n && in[i + 2] == '\n'))) {
      b.Put(' ');  // a written empty string
      ++j;
      continue;
    }
    b.Put1252(DecodeByte(c, j, k));
    ++j;
  }
  if (n > 0 && in[n - 1] != '\n') b.EndLine(false);  // a last line without line break
}

#if defined(__SSE2__)
// The same as DecodeScalar, 16 bytes at a time.  The position of each byte in
// its line comes from a prefix maximum over the line-feed positions of the block.
__attribute__((noinline)) void DecodeVector(const unsigned char* in, size_t i, size_t n, unsigned char k,
                                            LineBuilder& b, unsigned carry) {
  const __m128i LF = _mm_set1_epi8('\n');
  const __m128i CR = _mm_set1_epi8('\r');
  const __m128i SP = _mm_set1_epi8(' ');
  const __m128i K = _mm_set1_epi8(static_cast<char>(k));
  const __m128i T224 = _mm_set1_epi8(static_cast<char>(224));
  const __m128i FF = _mm_set1_epi8(static_cast<char>(255));
  const __m128i ZERO = _mm_setzero_si128();
  const __m128i ONE = _mm_set1_epi8(1);
  const __m128i LOWBRACE = _mm_set1_epi8('{');
  const __m128i TILDE = _mm_set1_epi8('~');
  const __m128i IDX1 = _mm_setr_epi8(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
  const __m128i IDX0 = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m128i from[4] = {_mm_set1_epi8('~'), _mm_set1_epi8('}'), _mm_set1_epi8('|'), _mm_set1_epi8('{')};
  const __m128i to[4] = {_mm_set1_epi8(static_cast<char>(0xDF)), _mm_set1_epi8(static_cast<char>(0xFC)),
                         _mm_set1_epi8(static_cast<char>(0xF6)), _mm_set1_epi8(static_cast<char>(0xE4))};
  // carry: the position in its line of the block's first byte, mod 256.
  alignas(16) unsigned char tmp[16];
  for (; i + 18 <= n; i += 16) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i nx = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 1));
    const __m128i nx2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 2));
    const __m128i isLF = _mm_cmpeq_epi8(c, LF);
    const __m128i nxLF = _mm_cmpeq_epi8(nx, LF);
    const __m128i nxCR = _mm_cmpeq_epi8(nx, CR);
    const __m128i keepCR = _mm_and_si128(_mm_cmpeq_epi8(c, CR), nxLF);

    __m128i s = _mm_and_si128(isLF, IDX1);
    s = _mm_max_epu8(s, _mm_slli_si128(s, 1));
    s = _mm_max_epu8(s, _mm_slli_si128(s, 2));
    s = _mm_max_epu8(s, _mm_slli_si128(s, 4));
    s = _mm_max_epu8(s, _mm_slli_si128(s, 8));
    const __m128i noLF = _mm_cmpeq_epi8(s, ZERO);
    const __m128i j = _mm_or_si128(_mm_and_si128(noLF, _mm_add_epi8(IDX0, _mm_set1_epi8(static_cast<char>(carry)))),
                                   _mm_andnot_si128(noLF, _mm_sub_epi8(IDX0, s)));

    const __m128i endAfter = _mm_or_si128(nxLF, _mm_and_si128(nxCR, _mm_cmpeq_epi8(nx2, LF)));
    const __m128i pv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i - 1));
    const __m128i oneBlank = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(c, SP), _mm_cmpeq_epi8(pv, LF)), endAfter);

    const __m128i hi = _mm_cmpeq_epi8(_mm_max_epu8(c, T224), c);
    const __m128i y = _mm_or_si128(_mm_and_si128(hi, _mm_sub_epi8(FF, c)), _mm_andnot_si128(hi, c));
    __m128i x = _mm_xor_si128(_mm_sub_epi8(y, j), K);
    // "{", "|", "}" and "~" stand for "ä", "ö", "ü" and "ß"; most blocks
    // hold none of them.
    const __m128i inBraces =
        _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(x, LOWBRACE), x), _mm_cmpeq_epi8(_mm_min_epu8(x, TILDE), x));
    if (_mm_movemask_epi8(inBraces) != 0) {
      for (int u = 0; u < 4; ++u) {
        const __m128i e = _mm_cmpeq_epi8(x, from[u]);
        x = _mm_or_si128(_mm_and_si128(e, to[u]), _mm_andnot_si128(e, x));
      }
    }
    const __m128i keep = _mm_or_si128(_mm_or_si128(isLF, keepCR), oneBlank);
    x = _mm_or_si128(_mm_and_si128(keep, c), _mm_andnot_si128(keep, x));

    unsigned lfBits = static_cast<unsigned>(_mm_movemask_epi8(isLF));
    if (_mm_movemask_epi8(x) == 0) {
      const size_t w = b.Pos();
      _mm_storeu_si128(reinterpret_cast<__m128i*>(b.Cursor()), x);
      b.Advance(16);
      const unsigned crBefore = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(pv, CR)));
      // The number of line feeds: the sum of their 0/1 bytes.
      const __m128i sums = _mm_sad_epu8(_mm_and_si128(isLF, ONE), ZERO);
      const unsigned lfCount = static_cast<unsigned>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
      b.EndMany(w, lfBits, crBefore, lfCount);
    } else {
      _mm_store_si128(reinterpret_cast<__m128i*>(tmp), x);
      for (unsigned bit = 0; bit < 16; ++bit) {
        if (lfBits & (1u << bit)) {
          b.EndLine(in[i + bit - 1] == '\r');
        } else {
          b.Put1252(tmp[bit]);
        }
      }
    }
    // Branch-free: blocks with and without a line feed alternate at random.
    const unsigned afterLast = 15u - (31u - static_cast<unsigned>(__builtin_clz(lfBits | 1u)));
    carry = lfBits ? afterLast : (carry + 16u) & 0xFFu;
  }
  DecodeScalar(in, i, n, carry, k, b);
}

#if defined(__x86_64__)
// Decodes the usual blocks of 32 bytes from in[i] on: every "\r" stands
// before a "\n", every decoded byte is plain ASCII below "{" (no umlaut
// stand-in) and the lines are short.  A blank alone on its line (a written
// empty string) stays a blank, any other blank is a scrambled byte like the
// rest.  Stops at the first other block and returns where;
// carry as in DecodeVector.  The builder's cursor is kept in registers
// meanwhile: the text stores could otherwise alias it.
__attribute__((target("avx2,popcnt,bmi"), noinline)) size_t DecodeUsualAvx2(const unsigned char* in, size_t i, size_t n,
                                                                            unsigned char k, LineBuilder& b,
                                                                            unsigned& carry) {
  const __m256i LF = _mm256_set1_epi8('\n');
  const __m256i CR = _mm256_set1_epi8('\r');
  const __m256i SP = _mm256_set1_epi8(' ');
  const __m256i K = _mm256_set1_epi8(static_cast<char>(k));
  const __m256i T224 = _mm256_set1_epi8(static_cast<char>(224));
  const __m256i T123 = _mm256_set1_epi8(123);
  const __m256i FIFTEEN = _mm256_set1_epi8(15);
  const __m256i IDX1 = _mm256_setr_epi8(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                                        23, 24, 25, 26, 27, 28, 29, 30, 31, 32);
  const __m256i IDX0 = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                        22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
  // Byte p of a block takes byte p / 8 of a 32-bit mask.
  const __m256i SPREAD =
      _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
  LineBuilder::Fast f = b.TakeFast();
  if (!f.usable) return i;
  unsigned cy = carry;
  for (; i + 34 <= n; i += 32) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    const __m256i isLF = _mm256_cmpeq_epi8(c, LF);
    const __m256i isCR = _mm256_cmpeq_epi8(c, CR);
    const unsigned lfBits = static_cast<unsigned>(_mm256_movemask_epi8(isLF));
    const unsigned crBits = static_cast<unsigned>(_mm256_movemask_epi8(isCR));
    const unsigned spBits = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(c, SP)));
    const unsigned lf32 = in[i + 32] == '\n';
    const unsigned lfNext = (lfBits >> 1) | (lf32 << 31);
    // The line ends of the block must fit the current block of short ends.
    if ((crBits & ~lfNext) != 0 || cy >= 200 || f.w + 32 - f.blockStart > 0x7FFF) break;
    const unsigned prevLf = (lfBits << 1) | static_cast<unsigned>(in[i - 1] == '\n');
    const unsigned lfNext2 = (lfBits >> 2) | (lf32 << 30) | (static_cast<unsigned>(in[i + 33] == '\n') << 31);
    const unsigned crNext = (crBits >> 1) | (static_cast<unsigned>(in[i + 32] == '\r') << 31);
    const unsigned oneBlank = spBits & prevLf & (lfNext | (crNext & lfNext2));
    // Line position of each byte: its index plus carry, less (index + 1 +
    // carry) of the last line feed before it.
    const __m256i C = _mm256_set1_epi8(static_cast<char>(cy));
    __m256i s = _mm256_and_si256(isLF, _mm256_add_epi8(IDX1, C));
    s = _mm256_max_epu8(s, _mm256_slli_si256(s, 1));
    s = _mm256_max_epu8(s, _mm256_slli_si256(s, 2));
    s = _mm256_max_epu8(s, _mm256_slli_si256(s, 4));
    s = _mm256_max_epu8(s, _mm256_slli_si256(s, 8));
    s = _mm256_max_epu8(s, _mm256_shuffle_epi8(_mm256_permute2x128_si256(s, s, 0x08), FIFTEEN));
    const __m256i j = _mm256_sub_epi8(_mm256_add_epi8(IDX0, C), s);
    // 255 - c for c above 223 is c with all bits flipped.
    const __m256i y = _mm256_xor_si256(c, _mm256_cmpeq_epi8(_mm256_max_epu8(c, T224), c));
    const __m256i x = _mm256_xor_si256(_mm256_sub_epi8(y, j), K);
    // The bytes kept as they are: line breaks and blanks alone on a line.
    const __m256i BITS = _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16,
                                          32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
    const __m256i blankBytes = _mm256_cmpeq_epi8(
        _mm256_and_si256(_mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(oneBlank)), SPREAD), BITS), BITS);
    const __m256i keep = _mm256_or_si256(_mm256_or_si256(isLF, isCR), blankBytes);
    const __m256i high = _mm256_andnot_si256(keep, _mm256_cmpeq_epi8(_mm256_max_epu8(x, T123), x));
    if (_mm256_movemask_epi8(high) != 0) break;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(f.text + f.w), _mm256_blendv_epi8(x, c, keep));
    // The line ends, each with the "\r" before it in bit 15; up to four
    // without a branch per line (entries past the last are written again
    // or never read).
    const uint64_t crBefore = (uint64_t{crBits} << 1) | static_cast<uint64_t>(in[i - 1] == '\r');
    const uint32_t rel = static_cast<uint32_t>(f.w - f.blockStart);
    uint16_t* out = f.ends + f.lines;
    uint64_t m = lfBits;
    for (int q = 0; q < 4; ++q) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctzll(m | (uint64_t{1} << 32)));
      out[q] = static_cast<uint16_t>((rel + bit) | static_cast<uint32_t>(((crBefore >> bit) & 1u) << 15));
      m &= m - 1;
    }
    const unsigned count = static_cast<unsigned>(__builtin_popcount(lfBits));
    for (unsigned q = 4; q < count; ++q) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctzll(m));
      out[q] = static_cast<uint16_t>((rel + bit) | static_cast<uint32_t>(((crBefore >> bit) & 1u) << 15));
      m &= m - 1;
    }
    f.w += 32;
    f.lines += count;
    cy = lfBits ? static_cast<unsigned>(__builtin_clz(lfBits)) : cy + 32u;
    if (f.lines >= f.blockFirst + LineBuilder::kBlock) b.NextBlockFast(f);
  }
  b.GiveFast(f);
  carry = cy;
  return i;
}

// The usual blocks as DecodeUsualAvx2, 64 bytes at a time, on processors
// with AVX-512 (byte and word operations, byte permutes, compression): the
// line ends of a block are compressed out of its 64 positions in one step.
// Nothing in the loop calls out of it, so its constants stay in registers.
__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,popcnt,bmi,bmi2"), noinline)) size_t DecodeUsualAvx512(
    const unsigned char* in, size_t i, size_t n, unsigned char k, LineBuilder& b, unsigned& carry) {
  alignas(64) static const unsigned char kIndex[64] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                                       16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31,
                                                       32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47,
                                                       48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63};
  alignas(64) static const uint16_t kWordIndex[64] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                                      16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31,
                                                      32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47,
                                                      48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63};
  const __m512i LF = _mm512_set1_epi8('\n');
  const __m512i CR = _mm512_set1_epi8('\r');
  const __m512i SP = _mm512_set1_epi8(' ');
  const __m512i K = _mm512_set1_epi8(static_cast<char>(k));
  const __m512i FF = _mm512_set1_epi8(static_cast<char>(255));
  const __m512i T224 = _mm512_set1_epi8(static_cast<char>(224));
  const __m512i T123 = _mm512_set1_epi8(123);
  const __m512i ONE = _mm512_set1_epi8(1);
  const __m512i CRBIT = _mm512_set1_epi16(static_cast<short>(0x8000));
  const __m512i IDX0 = _mm512_load_si512(kIndex);
  const __m512i IDX1 = _mm512_add_epi8(IDX0, ONE);
  const __m512i W0 = _mm512_load_si512(kWordIndex);
  const __m512i W32 = _mm512_load_si512(kWordIndex + 32);
  // Byte p of a shift by d takes byte p - d (none below d).
  __m512i shift[6];
  __mmask64 shiftMask[6];
  for (int q = 0; q < 6; ++q) {
    const int d = 1 << q;
    shift[q] = _mm512_sub_epi8(IDX0, _mm512_set1_epi8(static_cast<char>(d)));
    shiftMask[q] = ~((uint64_t{1} << d) - 1);
  }
  const __m512i SIXTYFOUR = _mm512_set1_epi16(64);
  LineBuilder::Fast f = b.TakeFast();
  if (!f.usable || i + 128 > n) return i;
  unsigned cy = carry;
  // The masks of each block are taken one block ahead, so that the bytes
  // around a block come from masks rather than from loads of single bytes.
  __m512i c = _mm512_loadu_si512(in + i);
  uint64_t lf = _mm512_cmpeq_epi8_mask(c, LF);
  uint64_t cr = _mm512_cmpeq_epi8_mask(c, CR);
  uint64_t lfBefore = in[i - 1] == '\n';  // of the byte before the block
  uint64_t crBefore0 = in[i - 1] == '\r';
  // The line ends relative to the start of the current block of lines.
  __m512i endLo = _mm512_add_epi16(W0, _mm512_set1_epi16(static_cast<short>(f.w - f.blockStart + 0x8000)));
  __m512i endHi = _mm512_add_epi16(W32, _mm512_set1_epi16(static_cast<short>(f.w - f.blockStart + 0x8000)));
  size_t wLimit = f.blockStart + 0x7FFF - 64;  // the short line ends reach no further
  for (; i + 128 <= n; i += 64) {
    const __m512i next = _mm512_loadu_si512(in + i + 64);
    const uint64_t lfN = _mm512_cmpeq_epi8_mask(next, LF);
    const uint64_t crN = _mm512_cmpeq_epi8_mask(next, CR);
    const uint64_t sp = _mm512_cmpeq_epi8_mask(c, SP);
    const uint64_t lfNext = (lf >> 1) | (lfN << 63);
    if ((cr & ~lfNext) != 0 || cy >= 180 || f.w > wLimit) break;
    // A blank alone on its line is a written empty string and stays a
    // blank; any other blank is a scrambled byte like the rest.
    const uint64_t prevLf = (lf << 1) | lfBefore;
    const uint64_t lfNext2 = (lf >> 2) | (lfN << 62);
    const uint64_t crNext = (cr >> 1) | (crN << 63);
    const uint64_t oneBlank = sp & prevLf & (lfNext | (crNext & lfNext2));
    // Line position of each byte, as in DecodeUsualAvx2.
    const __m512i C = _mm512_set1_epi8(static_cast<char>(cy));
    __m512i s = _mm512_maskz_add_epi8(lf, IDX1, C);
#pragma GCC unroll 4
    for (int q = 0; q < 4; ++q) s = _mm512_max_epu8(s, _mm512_maskz_permutexvar_epi8(shiftMask[q], shift[q], s));
    // Lines are mostly short: when every byte from the block's first line
    // feed on has one within 15 bytes before it, the maximum is complete.
    uint64_t near = lf | (lf << 1);
    near |= near << 2;
    near |= near << 4;
    near |= near << 8;
    if ((~near & (0 - (lf & (0 - lf)))) != 0) {
      s = _mm512_max_epu8(s, _mm512_maskz_permutexvar_epi8(shiftMask[4], shift[4], s));
      s = _mm512_max_epu8(s, _mm512_maskz_permutexvar_epi8(shiftMask[5], shift[5], s));
    }
    const __m512i j = _mm512_sub_epi8(_mm512_add_epi8(IDX0, C), s);
    const __m512i y = _mm512_mask_sub_epi8(c, _mm512_cmpge_epu8_mask(c, T224), FF, c);
    const __m512i x = _mm512_xor_si512(_mm512_sub_epi8(y, j), K);
    const uint64_t keep = lf | cr | oneBlank;
    if ((_mm512_cmpge_epu8_mask(x, T123) & ~keep) != 0) break;
    _mm512_storeu_si512(f.text + f.w, _mm512_mask_blend_epi8(keep, x, c));
    // The line ends: each position with the "\r" before it in bit 15,
    // compressed to the line feeds (entries past them are written again or
    // never read).
    const uint64_t crBefore = (cr << 1) | crBefore0;
    // endLo and endHi carry the "\r" bit already: it is taken off the rare
    // line feeds without one.
    __m512i lo = endLo, hi = endHi;
    if ((lf & ~crBefore) != 0) {
      lo = _mm512_mask_sub_epi16(endLo, static_cast<__mmask32>(~crBefore), endLo, CRBIT);
      hi = _mm512_mask_sub_epi16(endHi, static_cast<__mmask32>(~crBefore >> 32), endHi, CRBIT);
    }
    const unsigned count0 = static_cast<unsigned>(__builtin_popcount(static_cast<uint32_t>(lf)));
    const unsigned count = static_cast<unsigned>(__builtin_popcountll(lf));
    uint16_t* out = f.ends + f.lines;
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi16(static_cast<__mmask32>(lf), lo));
    _mm512_storeu_si512(out + count0, _mm512_maskz_compress_epi16(static_cast<__mmask32>(lf >> 32), hi));
    f.w += 64;
    f.lines += count;
    cy = lf ? static_cast<unsigned>(__builtin_clzll(lf)) : cy + 64u;
    endLo = _mm512_add_epi16(endLo, SIXTYFOUR);
    endHi = _mm512_add_epi16(endHi, SIXTYFOUR);
    if (f.lines >= f.blockFirst + LineBuilder::kBlock) {
      b.NextBlockFast(f);
      endLo = _mm512_add_epi16(W0, _mm512_set1_epi16(static_cast<short>(f.w - f.blockStart + 0x8000)));
      endHi = _mm512_add_epi16(W32, _mm512_set1_epi16(static_cast<short>(f.w - f.blockStart + 0x8000)));
      wLimit = f.blockStart + 0x7FFF - 64;
    }
    lfBefore = lf >> 63;
    crBefore0 = cr >> 63;
    c = next;
    lf = lfN;
    cr = crN;
  }
  b.GiveFast(f);
  carry = cy;
  return i;
}

bool HasAvx512() {
  if (g_widthLimit.load(std::memory_order_relaxed) < 3) return false;
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                          __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2") &&
                          __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi") &&
                          __builtin_cpu_supports("bmi2");
  return has;
}

// The same 32 bytes at a time, on processors with AVX2; returns where it
// stopped (the last bytes are left to DecodeVector) and updates carry.
__attribute__((target("avx2,popcnt"), noinline)) size_t DecodeAvx2(const unsigned char* in, size_t i, size_t n,
                                                                   unsigned char k, LineBuilder& b, unsigned& carry) {
  const __m256i LF = _mm256_set1_epi8('\n');
  const __m256i CR = _mm256_set1_epi8('\r');
  const __m256i SP = _mm256_set1_epi8(' ');
  const __m256i K = _mm256_set1_epi8(static_cast<char>(k));
  const __m256i T224 = _mm256_set1_epi8(static_cast<char>(224));
  const __m256i FF = _mm256_set1_epi8(static_cast<char>(255));
  const __m256i ZERO = _mm256_setzero_si256();
  const __m256i LOWBRACE = _mm256_set1_epi8('{');
  const __m256i TILDE = _mm256_set1_epi8('~');
  const __m256i FIFTEEN = _mm256_set1_epi8(15);
  const __m256i IDX1 = _mm256_setr_epi8(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                                        23, 24, 25, 26, 27, 28, 29, 30, 31, 32);
  const __m256i IDX0 = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                        22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
  const __m256i from[4] = {_mm256_set1_epi8('~'), _mm256_set1_epi8('}'), _mm256_set1_epi8('|'), _mm256_set1_epi8('{')};
  const __m256i to[4] = {_mm256_set1_epi8(static_cast<char>(0xDF)), _mm256_set1_epi8(static_cast<char>(0xFC)),
                         _mm256_set1_epi8(static_cast<char>(0xF6)), _mm256_set1_epi8(static_cast<char>(0xE4))};
  alignas(32) unsigned char tmp[32];
  for (;;) {
    if (HasAvx512()) i = DecodeUsualAvx512(in, i, n, k, b, carry);
    i = DecodeUsualAvx2(in, i, n, k, b, carry);
    if (i + 34 > n) break;
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    const __m256i nx = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i + 1));
    const __m256i nx2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i + 2));
    const __m256i pv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i - 1));
    const __m256i isLF = _mm256_cmpeq_epi8(c, LF);
    const __m256i nxLF = _mm256_cmpeq_epi8(nx, LF);
    const __m256i keepCR = _mm256_and_si256(_mm256_cmpeq_epi8(c, CR), nxLF);

    // Prefix maximum of the line feeds' positions (+1), in each half, then
    // the first half's last value carried into the second.
    __m256i s = _mm256_and_si256(isLF, IDX1);
    s = _mm256_max_epu8(s, _mm256_slli_si256(s, 1));
    s = _mm256_max_epu8(s, _mm256_slli_si256(s, 2));
    s = _mm256_max_epu8(s, _mm256_slli_si256(s, 4));
    s = _mm256_max_epu8(s, _mm256_slli_si256(s, 8));
    s = _mm256_max_epu8(s, _mm256_shuffle_epi8(_mm256_permute2x128_si256(s, s, 0x08), FIFTEEN));
    const __m256i noLF = _mm256_cmpeq_epi8(s, ZERO);
    const __m256i j = _mm256_blendv_epi8(_mm256_sub_epi8(IDX0, s),
                                         _mm256_add_epi8(IDX0, _mm256_set1_epi8(static_cast<char>(carry))), noLF);

    const __m256i endAfter =
        _mm256_or_si256(nxLF, _mm256_and_si256(_mm256_cmpeq_epi8(nx, CR), _mm256_cmpeq_epi8(nx2, LF)));
    const __m256i oneBlank =
        _mm256_and_si256(_mm256_and_si256(_mm256_cmpeq_epi8(c, SP), _mm256_cmpeq_epi8(pv, LF)), endAfter);

    const __m256i hi = _mm256_cmpeq_epi8(_mm256_max_epu8(c, T224), c);
    const __m256i y = _mm256_blendv_epi8(c, _mm256_sub_epi8(FF, c), hi);
    __m256i x = _mm256_xor_si256(_mm256_sub_epi8(y, j), K);
    const __m256i inBraces = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_max_epu8(x, LOWBRACE), x),
                                              _mm256_cmpeq_epi8(_mm256_min_epu8(x, TILDE), x));
    if (_mm256_movemask_epi8(inBraces) != 0) {
      for (int u = 0; u < 4; ++u) x = _mm256_blendv_epi8(x, to[u], _mm256_cmpeq_epi8(x, from[u]));
    }
    const __m256i keep = _mm256_or_si256(_mm256_or_si256(isLF, keepCR), oneBlank);
    x = _mm256_blendv_epi8(x, c, keep);

    const unsigned lfBits = static_cast<unsigned>(_mm256_movemask_epi8(isLF));
    if (_mm256_movemask_epi8(x) == 0) {
      const size_t w = b.Pos();
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(b.Cursor()), x);
      b.Advance(32);
      const unsigned crBefore = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(pv, CR)));
      b.EndMany(w, lfBits, crBefore, static_cast<unsigned>(__builtin_popcount(lfBits)));
    } else {
      _mm256_store_si256(reinterpret_cast<__m256i*>(tmp), x);
      for (unsigned bit = 0; bit < 32; ++bit) {
        if (lfBits & (1u << bit)) {
          b.EndLine(in[i + bit - 1] == '\r');
        } else {
          b.Put1252(tmp[bit]);
        }
      }
    }
    carry = lfBits ? static_cast<unsigned>(__builtin_clz(lfBits)) : (carry + 32u) & 0xFFu;
    i += 32;
  }
  return i;
}

bool HasAvx2() {
  if (g_widthLimit.load(std::memory_order_relaxed) < 2) return false;
  static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
  return has;
}
#endif
#endif

}  // namespace

// Decodes the lines after the first one in in[from..to): from is the start of
// a line.  With `done`, the range is decoded in steps of about kStep bytes
// that end at line starts, and each step is reported done.
static void DecodeRange(const unsigned char* in, size_t from, size_t to, unsigned char k, LineBuilder& b,
                        const std::function<void(size_t, size_t)>& done) {
  constexpr size_t kStep = size_t(2) << 20;
  while (from < to) {
    size_t end = to;
    if (done && to - from > 2 * kStep) {
      const void* nl = std::memchr(in + from + kStep, '\n', to - from - kStep);
      if (nl) end = static_cast<size_t>(static_cast<const unsigned char*>(nl) - in) + 1;
    }
#if defined(__SSE2__)
    if (g_widthLimit.load(std::memory_order_relaxed) >= 1) {
      unsigned carry = 0;  // from is a line start
      size_t at = from;
#if defined(__x86_64__)
      if (HasAvx2()) at = DecodeAvx2(in, from, end, k, b, carry);
#endif
      DecodeVector(in, at, end, k, b, carry);
    } else {
      DecodeScalar(in, from, end, 0, k, b);
    }
#else
    DecodeScalar(in, from, end, 0, k, b);
#endif
    if (done) done(from, end);
    from = end;
  }
}

void LineTable::LimitVectorWidth(int level) { g_widthLimit.store(level, std::memory_order_relaxed); }

LineTable LineTable::Decode(std::string_view raw, const std::function<void(size_t, size_t)>& done) {
  const size_t n = raw.size();
  LineTable table;
  if (n == 0) return table;
  const auto* in = reinterpret_cast<const unsigned char*>(raw.data());

  // The first line carries the key in its first byte.
  const auto* nl = static_cast<const unsigned char*>(std::memchr(in, '\n', n));
  const size_t lf0 = nl ? static_cast<size_t>(nl - in) : n;
  size_t end0 = lf0;
  bool cr0 = false;
  if (nl && lf0 > 0 && in[lf0 - 1] == '\r') {
    end0 = lf0 - 1;
    cr0 = true;
  }
  // Large files are split at a line start near the middle; the second half
  // is decoded on another thread into a chunk of its own.
  size_t split = n;
  if (nl && n >= kParallelFrom) {
    const auto* mid = static_cast<const unsigned char*>(std::memchr(in + n / 2, '\n', n - n / 2));
    if (mid && mid > nl && static_cast<size_t>(mid - in) + 1 < n) split = static_cast<size_t>(mid - in) + 1;
  }
  LineBuilder b(split * 3 + 64, split + 2);
  unsigned char k = 0;
  if (end0 > 0) {
    k = in[0];
    b.Put1252(static_cast<unsigned char>(k + 27));
    for (size_t j = 1; j < end0; ++j) b.Put1252(DecodeByte(in[j], j, k));
  }
  if (!nl) {
    b.EndLine(false);
    table.first_ = b.Finish();
    return table;
  }
  if (cr0) b.Put('\r');
  b.EndLine(cr0);
  if (split < n) {
    std::optional<LineBuilder> second;
    std::thread worker([&] {
      second.emplace((n - split) * 3 + 64, n - split + 2);
      DecodeRange(in, split, n, k, *second, done);
    });
    DecodeRange(in, lf0 + 1, split, k, b, done);
    worker.join();
    table.first_ = b.Finish();
    table.second_ = second->Finish();
    return table;
  }
  DecodeRange(in, lf0 + 1, n, k, b, done);
  table.first_ = b.Finish();
  return table;
}

}  // namespace detail

void EncodeLines(std::vector<std::string>& lines) {
  if (lines.empty()) return;
  const unsigned char k = detail::KeyOf(lines[0]);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string out;
    detail::AppendEncodedLine(out, lines[i], k, i == 0);
    lines[i] = std::move(out);
  }
}

void DecodeLines(std::vector<std::string>& lines) {
  if (lines.empty()) return;
  const unsigned char k = lines[0].empty() ? 0 : static_cast<unsigned char>(lines[0][0]);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string& l = lines[i];
    if (i == 0) {
      if (l.empty()) continue;
      l[0] = static_cast<char>(k + 27);
      for (size_t j = 1; j < l.size(); ++j)
        l[j] = static_cast<char>(detail::DecodeByte(static_cast<unsigned char>(l[j]), j, k));
      continue;
    }
    if (l.empty() || l == " ") continue;
    for (size_t j = 0; j < l.size(); ++j)
      l[j] = static_cast<char>(detail::DecodeByte(static_cast<unsigned char>(l[j]), j, k));
  }
}

std::vector<std::string> DecodeListBytes(std::string_view fileBytes) {
  const detail::LineTable t = detail::LineTable::Decode(fileBytes);
  std::vector<std::string> out;
  out.reserve(t.size());
  for (size_t i = 0; i < t.size(); ++i) out.emplace_back(t.line(i));
  return out;
}

bool IsStorableFirstString(std::string_view utf8) { return !detail::IsBadKey(ListKeyOf(utf8)); }

unsigned char ListKeyOf(std::string_view firstUtf8) {
  return detail::KeyOf(Cp1252FromUtf8(firstUtf8.substr(0, 4)).substr(0, 1));
}

bool RoundTrips(std::string_view utf8, unsigned char key, bool firstLine) {
  bool exact = true;
  const std::string bytes = Cp1252FromUtf8(utf8, &exact);
  if (!exact) return false;
  std::string enc;
  detail::AppendEncodedLine(enc, bytes, key, firstLine);
  if (!firstLine && enc == " ") return bytes == " ";
  std::string dec = enc;
  const unsigned char k = key;
  for (size_t j = 0; j < dec.size(); ++j) {
    if (firstLine && j == 0) {
      dec[0] = static_cast<char>(k + 27);
      continue;
    }
    dec[j] = static_cast<char>(detail::DecodeByte(static_cast<unsigned char>(enc[j]), j, k));
  }
  return dec == bytes;
}

bool EncodeListBytes(const std::vector<std::string>& lines, size_t n, std::string& out) {
  out.clear();
  if (n > lines.size()) n = lines.size();
  if (n == 0) return true;
  const std::string first = Cp1252FromUtf8(lines[0]);
  const unsigned char k = detail::KeyOf(first);
  if (detail::IsBadKey(k)) return false;
  size_t total = 0;
  for (size_t i = 0; i < n; ++i) total += lines[i].size() + 2;
  out.reserve(total + 8);
  std::string conv;
  for (size_t i = 0; i < n; ++i) {
    std::string_view line = lines[i];
    if (!IsAscii(line)) {
      conv = Cp1252FromUtf8(line);
      line = conv;
    }
    detail::AppendEncodedLine(out, line, k, i == 0);
    out.append("\r\n");
  }
  return true;
}

}  // namespace tellurio
