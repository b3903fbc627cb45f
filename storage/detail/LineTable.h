#pragma once
// The decoded lines of one list file, held in one buffer.

#include <cstdint>
#include <string_view>

#include "storage/detail/Memory.h"

namespace tellurio::detail {

class LineTable {
 public:
  LineTable() = default;
  // Decodes the bytes of a list file: unscrambles every line and converts it
  // from code page 1252 to UTF-8.  Never reads outside `raw`.  Large files are
  // decoded in two halves at once.
  static LineTable Decode(std::string_view raw);

  size_t size() const { return first_.count + second_.count; }
  std::string_view line(size_t i) const { return i < first_.count ? first_.line(i) : second_.line(i - first_.count); }

 private:
  friend class LineBuilder;
  static constexpr uint32_t kPosMask = 0x7fffffffu;
  // A run of decoded lines: their text, every line followed by "\n" (or
  // "\r\n"), and per line the position of its "\n" with the top bit set when
  // a "\r" precedes it.
  struct Chunk {
    Memory text;
    Memory ends;
    size_t count = 0;
    std::string_view line(size_t i) const {
      const uint32_t* lf = reinterpret_cast<const uint32_t*>(ends.data());
      const uint32_t begin = i == 0 ? 0 : (lf[i - 1] & kPosMask) + 1;
      const uint32_t end = (lf[i] & kPosMask) - (lf[i] >> 31);
      return std::string_view(text.data() + begin, end - begin);
    }
  };
  Chunk first_;
  Chunk second_;
};

}  // namespace tellurio::detail
