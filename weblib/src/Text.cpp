#include "Text.h"

namespace marabu {

std::string TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string(text);
  const size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string TrimTrailingBlanks(std::string_view text) {
  const size_t last = text.find_last_not_of(' ');
  if (last == std::string_view::npos) return {};
  return std::string(text.substr(0, last + 1));
}

std::string_view Slice(std::string_view text, size_t begin, size_t end) {
  if (end > text.size()) end = text.size();
  if (begin >= end) return {};
  return text.substr(begin, end - begin);
}

std::string_view UpTo(std::string_view text, size_t begin, std::string_view stop) {
  if (begin >= text.size()) return {};
  const size_t end = text.find(stop, begin);
  return Slice(text, begin, end == std::string_view::npos ? text.size() : end);
}

std::string_view LastCharacters(std::string_view utf8, size_t n) {
  size_t begin = utf8.size();
  size_t count = 0;
  while (begin > 0 && count < n) {
    --begin;
    // A continuation byte belongs to the character that starts before it.
    while (begin > 0 && (static_cast<unsigned char>(utf8[begin]) & 0xC0) == 0x80) --begin;
    ++count;
  }
  return utf8.substr(begin);
}

}  // namespace marabu
