// List-file scrambling: the line-by-line reference forms and the vectorised
// whole-file decoder that the record store reads its data files with.

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
// input size, so no check is needed per byte.  Line ends are gathered per
// block of LineTable::kBlock lines and then stored as 15-bit offsets from
// the block's start (or, for a block of long lines, as 32-bit positions).
class LineBuilder {
 public:
  LineBuilder(size_t textCapacity, size_t maxLines)
      : text_(textCapacity),
        ends_(maxLines * sizeof(uint16_t) + sizeof(uint16_t)),
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
    block_[inBlock_++] = static_cast<uint32_t>(pos) | (cr ? LineTable::kCr32 : 0u);
    if (inBlock_ == LineTable::kBlock) FlushBlock();
  }
  // Records the n line feeds of a block of 16 or 32 bytes written at text position
  // w: bit p of lf is a "\n" at w + p, bit p of cr a "\r" before it.  Up to
  // four are written without a branch per line.
  void EndMany(size_t w, unsigned lf, unsigned cr, unsigned n) {
    uint32_t* out = block_ + inBlock_;
    unsigned m = lf;
    // Past the last line feed, bit is 32 and the entry is left over (it is
    // written again or never read).
    const uint64_t crs = cr;
    for (int k = 0; k < 4; ++k) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctzll(uint64_t{m} | (uint64_t{1} << 32)));
      out[k] = static_cast<uint32_t>(w + bit) | static_cast<uint32_t>(((crs >> bit) & 1u) << 31);
      m &= m - 1;
    }
    for (unsigned k = 4; k < n; ++k) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctz(m));
      out[k] = static_cast<uint32_t>(w + bit) | (((cr >> bit) & 1u) << 31);
      m &= m - 1;
    }
    inBlock_ += n;
    if (inBlock_ >= LineTable::kBlock) FlushBlock();
  }
  void EndLine(bool cr) {
    EndAt(w_, cr);
    out_[w_++] = '\n';
  }
  LineTable::Chunk Finish() {
    while (inBlock_ > 0) FlushBlock();
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
  // Stores the first kBlock pending line ends (all at the end) as a block.
  void FlushBlock() {
    if (inBlock_ == 0) return;
    const uint32_t count = std::min(inBlock_, LineTable::kBlock);
    const uint32_t rest = inBlock_ - count;
    inBlock_ = count;
    FlushFullOrLast();
    std::memmove(block_, block_ + count, rest * sizeof(uint32_t));
    inBlock_ = rest;
  }
  void FlushFullOrLast() {
    const uint32_t base = blockStart_;
    const uint32_t last = block_[inBlock_ - 1] & ~LineTable::kCr32;
    if (last - base <= 0x7FFFu) {
      blocks32_[blocks_n_] = base;
      uint16_t* e = ends16_ + lines_;
      for (uint32_t k = 0; k < inBlock_; ++k) {
        const uint32_t v = block_[k];
        e[k] = static_cast<uint16_t>(((v & ~LineTable::kCr32) - base) | ((v >> 31) << 15));
      }
    } else {
      blocks32_[blocks_n_] = LineTable::kWide | static_cast<uint32_t>(wide_.size());
      wide_.push_back(base);
      wide_.insert(wide_.end(), block_, block_ + inBlock_);
    }
    ++blocks_n_;
    lines_ += inBlock_;
    blockStart_ = last + 1;
    inBlock_ = 0;
  }

  Memory text_;
  Memory ends_;
  Memory blocks_;
  std::vector<uint32_t> wide_;
  char* out_;
  uint16_t* ends16_;
  uint32_t* blocks32_;
  size_t w_ = 0;
  size_t lines_ = 0;  // lines in flushed blocks
  size_t blocks_n_ = 0;
  uint32_t blockStart_ = 0;
  uint32_t block_[LineTable::kBlock + 32];
  uint32_t inBlock_ = 0;
  std::string scratch_;
};

namespace {

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
  for (; i + 34 <= n; i += 32) {
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
  }
  return i;
}

bool HasAvx2() {
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
    unsigned carry = 0;  // from is a line start
    size_t at = from;
#if defined(__x86_64__)
    if (HasAvx2()) at = DecodeAvx2(in, from, end, k, b, carry);
#endif
    DecodeVector(in, at, end, k, b, carry);
#else
    DecodeScalar(in, from, end, 0, k, b);
#endif
    if (done) done(from, end);
    from = end;
  }
}

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
