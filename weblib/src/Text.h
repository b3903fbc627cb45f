#pragma once
// Small text operations shared by the parsers.  Every function accepts any
// positions: a start beyond the end gives an empty text, never an error.

#include <cstddef>
#include <string>
#include <string_view>

namespace marabu {

// Without leading and trailing blanks (code 32 only); a text made only of
// blanks comes back unchanged.
std::string TrimBlanks(std::string_view text);

// Without trailing blanks only.
std::string TrimTrailingBlanks(std::string_view text);

// The bytes [begin, end) of text, clamped to the text; empty when end <= begin.
std::string_view Slice(std::string_view text, size_t begin, size_t end);

// The text from begin up to the first occurrence of stop at or after begin,
// or to the end of the text when stop does not occur.
std::string_view UpTo(std::string_view text, size_t begin, std::string_view stop);

// The last n characters of a UTF-8 text (all of it when it is shorter).
std::string_view LastCharacters(std::string_view utf8, size_t n);

// True when the text holds needle.
inline bool Contains(std::string_view text, std::string_view needle) {
  return text.find(needle) != std::string_view::npos;
}

}  // namespace marabu
