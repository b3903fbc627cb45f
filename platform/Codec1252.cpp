#include "platform/Codec1252.h"

#include <array>
#include <cstdint>

namespace tellurio {
namespace {

// Code points of the bytes 0x80..0x9F.
constexpr std::array<char32_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePointOf(unsigned char b) {
  if (b >= 0x80 && b < 0xA0) return kHigh[b - 0x80];
  return b;
}

void AppendCodePoint(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Byte of a code point, or -1 when code page 1252 has none.
int ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return 0x80 + i;
  return -1;
}

// Decodes one UTF-8 sequence at s[i]; returns the code point and advances i,
// or returns -1 (and advances by one byte) for an invalid sequence.
long DecodeUtf8(std::string_view s, size_t& i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  int len;
  char32_t cp;
  if (c < 0x80) {
    ++i;
    return c;
  } else if ((c & 0xE0) == 0xC0) {
    len = 2;
    cp = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3;
    cp = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4;
    cp = c & 0x07;
  } else {
    ++i;
    return -1;
  }
  if (i + len > s.size()) {
    ++i;
    return -1;
  }
  for (int k = 1; k < len; ++k) {
    const unsigned char cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) {
      ++i;
      return -1;
    }
    cp = (cp << 6) | (cc & 0x3F);
  }
  // Reject overlong forms and surrogates.
  if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
      (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
    ++i;
    return -1;
  }
  i += len;
  return static_cast<long>(cp);
}

}  // namespace

void AppendUtf8OfCp1252(std::string& out, unsigned char byte) { AppendCodePoint(out, CodePointOf(byte)); }

std::string Utf8FromCp1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char ch : bytes) AppendUtf8OfCp1252(out, static_cast<unsigned char>(ch));
  return out;
}

std::string Cp1252FromUtf8(std::string_view utf8, bool* exact) {
  std::string out;
  out.reserve(utf8.size());
  bool ok = true;
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    const long cp = DecodeUtf8(utf8, i);
    const int b = cp < 0 ? -1 : ByteOf(static_cast<char32_t>(cp));
    if (b < 0) {
      out.push_back('?');
      ok = false;
    } else {
      out.push_back(static_cast<char>(b));
    }
  }
  if (exact) *exact = ok;
  return out;
}

bool IsAscii(std::string_view text) {
  for (char ch : text)
    if (static_cast<unsigned char>(ch) >= 0x80) return false;
  return true;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();)
    if (DecodeUtf8(text, i) < 0) return false;
  return true;
}

size_t Utf8Length(std::string_view utf8) {
  size_t n = 0;
  size_t i = 0;
  while (i < utf8.size()) {
    DecodeUtf8(utf8, i);
    ++n;
  }
  return n;
}

std::string Utf8Left(std::string_view utf8, size_t n) {
  size_t i = 0;
  for (size_t k = 0; k < n && i < utf8.size(); ++k) DecodeUtf8(utf8, i);
  return std::string(utf8.substr(0, i));
}

}  // namespace tellurio
