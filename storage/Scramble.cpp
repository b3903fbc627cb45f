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
// input size, so no check is needed per byte.
class LineBuilder {
 public:
  LineBuilder(size_t textCapacity, size_t maxLines) : text_(textCapacity), ends_(maxLines * sizeof(uint32_t)) {
    out_ = text_.data();
    lf_ = reinterpret_cast<uint32_t*>(ends_.data());
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
  void EndAt(size_t pos, bool cr) { lf_[lines_++] = static_cast<uint32_t>(pos) | (cr ? 0x80000000u : 0u); }
  void EndLine(bool cr) {
    EndAt(w_, cr);
    out_[w_++] = '\n';
  }
  LineTable::Chunk Finish() {
    LineTable::Chunk c;
    c.text = std::move(text_);
    c.ends = std::move(ends_);
    c.count = lines_;
    return c;
  }

 private:
  Memory text_;
  Memory ends_;
  char* out_;
  uint32_t* lf_;
  size_t w_ = 0;
  size_t lines_ = 0;
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
void DecodeVector(const unsigned char* in, size_t i, size_t n, unsigned char k, LineBuilder& b) {
  const __m128i LF = _mm_set1_epi8('\n');
  const __m128i CR = _mm_set1_epi8('\r');
  const __m128i SP = _mm_set1_epi8(' ');
  const __m128i K = _mm_set1_epi8(static_cast<char>(k));
  const __m128i T224 = _mm_set1_epi8(static_cast<char>(224));
  const __m128i FF = _mm_set1_epi8(static_cast<char>(255));
  const __m128i ZERO = _mm_setzero_si128();
  const __m128i IDX1 = _mm_setr_epi8(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
  const __m128i IDX0 = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m128i from[4] = {_mm_set1_epi8('~'), _mm_set1_epi8('}'), _mm_set1_epi8('|'), _mm_set1_epi8('{')};
  const __m128i to[4] = {_mm_set1_epi8(static_cast<char>(0xDF)), _mm_set1_epi8(static_cast<char>(0xFC)),
                         _mm_set1_epi8(static_cast<char>(0xF6)), _mm_set1_epi8(static_cast<char>(0xE4))};
  unsigned carry = 0;  // position in its line of the block's first byte, mod 256
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
    for (int u = 0; u < 4; ++u) {
      const __m128i e = _mm_cmpeq_epi8(x, from[u]);
      x = _mm_or_si128(_mm_and_si128(e, to[u]), _mm_andnot_si128(e, x));
    }
    const __m128i keep = _mm_or_si128(_mm_or_si128(isLF, keepCR), oneBlank);
    x = _mm_or_si128(_mm_and_si128(keep, c), _mm_andnot_si128(keep, x));

    unsigned lfBits = static_cast<unsigned>(_mm_movemask_epi8(isLF));
    if (_mm_movemask_epi8(x) == 0) {
      const size_t w = b.Pos();
      _mm_storeu_si128(reinterpret_cast<__m128i*>(b.Cursor()), x);
      b.Advance(16);
      for (unsigned m = lfBits; m; m &= m - 1) {
        const unsigned bit = static_cast<unsigned>(__builtin_ctz(m));
        b.EndAt(w + bit, in[i + bit - 1] == '\r');
      }
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
    if (lfBits)
      carry = 15u - (31u - static_cast<unsigned>(__builtin_clz(lfBits)));
    else
      carry = (carry + 16u) & 0xFFu;
  }
  DecodeScalar(in, i, n, carry, k, b);
}
#endif

}  // namespace

// Decodes the lines after the first one in in[from..to): from is the start of
// a line.
static void DecodeRange(const unsigned char* in, size_t from, size_t to, unsigned char k, LineBuilder& b) {
#if defined(__SSE2__)
  DecodeVector(in, from, to, k, b);
#else
  DecodeScalar(in, from, to, 0, k, b);
#endif
}

LineTable LineTable::Decode(std::string_view raw) {
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
      DecodeRange(in, split, n, k, *second);
    });
    DecodeRange(in, lf0 + 1, split, k, b);
    worker.join();
    table.first_ = b.Finish();
    table.second_ = second->Finish();
    return table;
  }
  DecodeRange(in, lf0 + 1, n, k, b);
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
