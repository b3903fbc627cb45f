#pragma once
// The list-file scrambling of single lines, on code page 1252 bytes.
//
// Encoding, with k the key (first byte of the first string − 27):
//   the first byte of the file becomes k; every other byte c at position j of
//   its line becomes x = (map(c) XOR k) + j (mod 256), folded to 255 − x when
//   x < 32; an empty line is written as a single blank.  map turns "ß", "ü",
//   "ö", "ä" into "~", "}", "|", "{".
// Decoding inverts it (y = 255 − c when c > 223; x = unmap((y − j) XOR k)); a
// line that is exactly one blank stays a blank.

#include <string>
#include <string_view>

namespace tellurio::detail {

inline unsigned char MapUmlaut(unsigned char c) {
  switch (c) {
    case 0xDF:
      return '~';
    case 0xFC:
      return '}';
    case 0xF6:
      return '|';
    case 0xE4:
      return '{';
    default:
      return c;
  }
}

inline unsigned char UnmapUmlaut(unsigned char c) {
  switch (c) {
    case '~':
      return 0xDF;
    case '}':
      return 0xFC;
    case '|':
      return 0xF6;
    case '{':
      return 0xE4;
    default:
      return c;
  }
}

inline unsigned char DecodeByte(unsigned char c, size_t j, unsigned char k) {
  unsigned y = c;
  if (y > 223) y = 255 - y;
  return UnmapUmlaut(static_cast<unsigned char>(((y - j) & 0xFF) ^ k));
}

inline unsigned char EncodeByte(unsigned char c, size_t j, unsigned char k) {
  unsigned x = ((MapUmlaut(c) ^ k) + j) & 0xFF;
  if (x < 32) x = 255 - x;
  return static_cast<unsigned char>(x);
}

// Appends the encoded form of one code page 1252 line (without line break).
// For the first line of a file, its first byte becomes the key; `key` must be
// KeyOf(that line).
void AppendEncodedLine(std::string& out, std::string_view line1252, unsigned char key, bool firstLine);

// The key for a list whose first string is line1252 (an empty first string is
// written as a blank).
inline unsigned char KeyOf(std::string_view firstLine1252) {
  const unsigned char c = firstLine1252.empty() ? ' ' : static_cast<unsigned char>(firstLine1252[0]);
  return static_cast<unsigned char>(c - 27);
}

// True when the key byte would be a line break.
inline bool IsBadKey(unsigned char key) { return key == '\n' || key == '\r'; }

}  // namespace tellurio::detail
