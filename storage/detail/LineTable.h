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
  // from code page 1252 to UTF-8.  Never reads outside `raw`.
  static LineTable Decode(std::string_view raw);

  size_t size() const { return count_; }
  std::string_view line(size_t i) const {
    const uint32_t* lf = reinterpret_cast<const uint32_t*>(ends_.data());
    const uint32_t begin = i == 0 ? 0 : (lf[i - 1] & kPosMask) + 1;
    const uint32_t end = (lf[i] & kPosMask) - (lf[i] >> 31);
    return std::string_view(text_.data() + begin, end - begin);
  }

 private:
  static constexpr uint32_t kPosMask = 0x7fffffffu;
  friend class LineBuilder;
  Memory text_;  // decoded text, every line followed by "\n" (or "\r\n")
  Memory ends_;  // per line: position of its "\n", top bit set when a "\r" precedes it
  size_t count_ = 0;
};

}  // namespace tellurio::detail
