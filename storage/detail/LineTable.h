#pragma once
// The decoded lines of one list file, held in one buffer.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "storage/detail/Memory.h"

namespace tellurio::detail {

class LineTable {
 public:
  LineTable() = default;
  // Decodes the bytes of a list file: unscrambles every line and converts it
  // from code page 1252 to UTF-8.  Never reads outside `raw`.  Large files are
  // decoded in two halves at once.  `done` (when given) is told, from each
  // thread, of ranges of `raw` that will not be read again (so that a caller
  // holding the file mapped can let its pages go); ranges of one thread come
  // in order.
  static LineTable Decode(std::string_view raw, const std::function<void(size_t from, size_t to)>& done = {});

  // For tests of the decoder: the widest vector instructions it may use, 0
  // none, 1 SSE2, 2 AVX2, 3 AVX-512 (3 unless set; what the processor has
  // limits it as well).  Not for use while anything decodes.
  static void LimitVectorWidth(int level);

  size_t size() const { return first_.count + second_.count; }
  // The lines decoded into the first half (all of them when the file was
  // decoded in one piece): a span must not run across this line number.
  size_t FirstHalf() const { return first_.count; }
  std::string_view line(size_t i) const { return i < first_.count ? first_.line(i) : second_.line(i - first_.count); }

  // The text of `count` lines from line `first` as they lie in one piece:
  // each line but the last followed by its "\n" or "\r\n", the last one
  // without it.  Empty when count is 0 or the lines lie in both halves.
  // For readers that walk many short lines in a row.
  std::string_view span(size_t first, size_t count) const {
    if (count == 0) return {};
    const size_t last = first + count - 1;
    if (first < first_.count && last >= first_.count) return {};
    const std::string_view a = line(first), b = line(last);
    return std::string_view(a.data(), static_cast<size_t>(b.data() + b.size() - a.data()));
  }

 private:
  friend class LineBuilder;
  // Lines are kept in blocks of kBlock.  A block's line ends (the position
  // of each line's "\n") are 15-bit offsets from where the block begins in
  // the text, the top bit set when a "\r" precedes the "\n"; a block whose
  // text is longer than that allows keeps 32-bit positions instead (kWide).
  static constexpr uint32_t kBlockBits = 8;
  static constexpr uint32_t kBlock = 1u << kBlockBits;
  static constexpr uint32_t kWide = 0x80000000u;
  static constexpr uint32_t kCr16 = 0x8000u;
  static constexpr uint32_t kCr32 = 0x80000000u;
  struct Chunk {
    Memory text;    // the lines, every line followed by "\n" (or "\r\n")
    Memory ends;    // uint16_t per line (unused in wide blocks)
    Memory blocks;  // uint32_t per block: its first line's position, or kWide | index into wide
    // Per wide block: its first line's position, then the 32-bit end of
    // each of its lines (kCr32 when a "\r" precedes the "\n").
    std::vector<uint32_t> wide;
    size_t count = 0;
    std::string_view line(size_t i) const {
      const uint32_t block = reinterpret_cast<const uint32_t*>(blocks.data())[i >> kBlockBits];
      const uint32_t j = static_cast<uint32_t>(i) & (kBlock - 1);
      uint32_t begin, end;
      if (!(block & kWide)) {
        const uint16_t* e = reinterpret_cast<const uint16_t*>(ends.data());
        const uint32_t raw = e[i];
        begin = block + (j == 0 ? 0 : (e[i - 1] & ~kCr16) + 1);
        end = block + (raw & ~kCr16) - (raw >> 15);
      } else {
        const uint32_t* w = wide.data() + (block & ~kWide);
        begin = j == 0 ? w[0] : (w[j] & ~kCr32) + 1;
        end = (w[j + 1] & ~kCr32) - (w[j + 1] >> 31);
      }
      return std::string_view(text.data() + begin, end - begin);
    }
  };
  Chunk first_;
  Chunk second_;
};

}  // namespace tellurio::detail
