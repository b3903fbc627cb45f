#include "calendar/detail/TextScan.h"

namespace tellurio::calendar_detail {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the UTF-8 sequence starting at text[i], or 0 when it is invalid.
std::size_t SequenceLength(std::string_view text, std::size_t i, char32_t* out) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  if (b0 < 0x80) {
    *out = b0;
    return 1;
  }
  std::size_t len;
  char32_t cp;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (i + len > text.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  // Overlong forms, surrogates and values beyond U+10FFFF are invalid.
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  *out = cp;
  return len;
}

}  // namespace

int ReadInteger(std::string_view text, int lo, int hi) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  const long long limit = negative ? -static_cast<long long>(lo) : hi;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (value <= limit) value = value * 10 + (text[i] - '0');
  }
  if (value > limit) value = limit;
  return static_cast<int>(negative ? -value : value);
}

int LeadingDigits(std::string_view text) {
  constexpr int kMax = 999999999;
  long long value = 0;
  for (std::size_t i = 0; i < text.size() && IsDigit(text[i]); ++i) {
    if (value <= kMax) value = value * 10 + (text[i] - '0');
  }
  return static_cast<int>(value > kMax ? kMax : value);
}

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const std::size_t len = SequenceLength(text, i, &cp);
    if (len == 0) {
      out.push_back(U'\uFFFD');
      ++i;
    } else {
      out.push_back(cp);
      i += len;
    }
  }
  return out;
}

std::string Utf8Mid(std::string_view text, std::size_t first, std::size_t count) {
  std::size_t index = 0;
  std::size_t begin = text.size();
  std::size_t end = text.size();
  for (std::size_t i = 0; i < text.size();) {
    if (index == first) begin = i;
    if (index == first + count) {
      end = i;
      break;
    }
    char32_t cp = 0;
    const std::size_t len = SequenceLength(text, i, &cp);
    i += len == 0 ? 1 : len;
    ++index;
  }
  if (begin >= end) return {};
  return std::string(text.substr(begin, end - begin));
}

}  // namespace tellurio::calendar_detail
