#include "calendar/NumberText.h"

#include <cstdint>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tellurio {

namespace {

// A double carries 15 significant decimal digits reliably; everything
// beyond them is representation error (0.57 is stored as 0.56999...).
constexpr int kSignificantDigits = 15;
constexpr int kMaxDecimals = 100;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

namespace detail {

bool SignificantDigits(double value, std::string& digits, int& exponent) {
  if (!(value >= 1e-3 && value < 1e15)) return false;
  // value = mantissa * 2^-shift exactly, the mantissa an integer below 2^53
  // (a normal double in this range: its stored fraction with the leading 1).
  const auto bits = std::bit_cast<uint64_t>(value);
  const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  const int shift = 1075 - static_cast<int>(bits >> 52);  // 3 .. 62 in this range
  static constexpr auto kTens = [] {
    std::array<uint64_t, 20> tens{};
    tens[0] = 1;
    for (size_t i = 1; i < tens.size(); ++i) tens[i] = tens[i - 1] * 10;
    return tens;
  }();
  constexpr uint64_t kLow = 100000000000000ULL, kHigh = 1000000000000000ULL;  // 10^14, 10^15
  // value * 10^(14 - exponent), rounded to the nearest integer, a tie to
  // the even one: 15 digits when the exponent is right.  The value lies in
  // [2^(52 - shift), 2^(53 - shift)), so its exponent is the floor of
  // (52 - shift) * log10(2) (78913 / 2^18 is log10(2) to six places) or one
  // more; the estimate is corrected by one either way.
  int e = ((52 - shift) * 78913) >> 18;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int power = 14 - e;
    if (power < 0 || power >= static_cast<int>(kTens.size())) return false;
    const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * kTens[static_cast<size_t>(power)];
    const unsigned __int128 one = static_cast<unsigned __int128>(1) << shift;
    auto n = static_cast<uint64_t>(scaled >> shift);
    const unsigned __int128 rest = scaled & (one - 1), half = one >> 1;
    if (rest > half || (rest == half && (n & 1))) ++n;
    if (n >= kHigh) {
      ++e;
    } else if (n < kLow) {
      --e;
    } else {
      // Two digits at a time, in 32-bit arithmetic for the lower eight.
      static constexpr char kPairs[] =
          "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
          "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
          "8081828384858687888990919293949596979899";
      digits.resize(kSignificantDigits);
      char* out = digits.data() + kSignificantDigits;
      auto high = static_cast<uint32_t>(n / 100000000), low = static_cast<uint32_t>(n % 100000000);
      for (int pair = 0; pair < 4; ++pair, low /= 100, out -= 2) std::memcpy(out - 2, kPairs + 2 * (low % 100), 2);
      for (int pair = 0; pair < 3; ++pair, high /= 100, out -= 2) std::memcpy(out - 2, kPairs + 2 * (high % 100), 2);
      out[-1] = static_cast<char>('0' + high);  // the first digit: 1 .. 9
      exponent = e;
      return true;
    }
  }
  return false;
}

}  // namespace detail

std::string FormatNumber(double value, int decimals) {
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  if (!std::isfinite(value)) return "0,00";
  const bool negative = value < 0;

  // The value rounded to 15 significant digits, as "d.dddddddddddddde±x":
  // truncating these digits keeps every digit a typed or stored number has
  // and drops only the binary noise behind them.  Integers hold the digits
  // only in the range where they cannot overflow (SignificantDigits); any
  // other magnitude is formatted by to_chars.
  std::string digits;
  int exponent = 0;
  if (detail::SignificantDigits(std::fabs(value), digits, exponent)) {
    // The first digit is not 0 here, so the integer part needs no
    // trimming; the text is written into one buffer ("-", at most 15
    // integer digits, ",", at most 100 decimals).
    char text[120];
    std::size_t length = 0;
    if (negative) text[length++] = '-';
    const int integerDigits = exponent + 1;  // -2 .. 15
    if (integerDigits > 0) {
      std::memcpy(text + length, digits.data(), static_cast<std::size_t>(integerDigits));
      length += static_cast<std::size_t>(integerDigits);
    } else {
      text[length++] = '0';
    }
    text[length++] = ',';
    bool zero = integerDigits <= 0;
    for (int i = 0; i < decimals; ++i) {
      const int at = integerDigits + i;
      const char c = at >= 0 && at < kSignificantDigits ? digits[static_cast<std::size_t>(at)] : '0';
      zero = zero && c == '0';
      text[length++] = c;
    }
    if (zero) return negative ? "-0,00" : "0,00";
    return std::string(text, length);
  }

  // Other values: the digits from to_chars.
  char buf[48];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, kSignificantDigits - 1);
  const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
  const std::size_t e = sci.find('e');
  digits.reserve(kSignificantDigits);
  for (std::size_t i = 0; i < e; ++i)
    if (IsDigit(sci[i])) digits += sci[i];
  std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);

  // digits stand for 0.d1d2d3... * 10^(exponent + 1).
  const int integerDigits = exponent + 1;
  std::string integerPart;
  std::string fraction;
  if (integerDigits > 0) {
    const auto n = static_cast<std::size_t>(integerDigits);
    integerPart = digits.substr(0, std::min(n, digits.size()));
    if (n > digits.size()) integerPart.append(n - digits.size(), '0');
    if (n < digits.size()) fraction = digits.substr(n);
  } else {
    fraction.assign(static_cast<std::size_t>(-integerDigits), '0');
    fraction += digits;
  }
  fraction.resize(static_cast<std::size_t>(decimals), '0');

  const std::size_t firstNonZero = integerPart.find_first_not_of('0');
  integerPart = firstNonZero == std::string::npos ? "0" : integerPart.substr(firstNonZero);
  const bool zero = integerPart == "0" && fraction.find_first_not_of('0') == std::string::npos;

  std::string out = negative ? "-" : "";
  if (zero) return out + "0,00";
  out += integerPart;
  out += ',';
  out += fraction;
  return out;
}

std::string FormatRounded(double value, int decimals) {
  decimals = std::clamp(decimals, 0, 30);
  if (!std::isfinite(value)) value = 0;
  // Fixed notation of a double needs at most 309 integer digits.
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  std::string out(buf, static_cast<std::size_t>(res.ptr - buf));
  if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
  std::replace(out.begin(), out.end(), '.', ',');
  return out;
}

double ParseNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  // Fast path for the usual texts ("1234,56"): up to 15 digits without an
  // exponent.  The digits form an exact integer and the power of ten is
  // exact, so the one division is correctly rounded, the same double that
  // from_chars gives.
  {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t j = i;
    std::uint64_t mantissa = 0;
    int digits = 0, fraction = 0;
    for (; j < text.size() && IsDigit(text[j]) && digits < 16; ++j, ++digits)
      mantissa = mantissa * 10 + static_cast<unsigned>(text[j] - '0');
    // Only blanks, a sign and digits lie before j, so a comma there is the
    // first one (and the decimal comma unless the text starts with it).
    const bool comma = j < text.size() && text[j] == ',' && j != 0;
    if (j < text.size() && (text[j] == '.' || comma)) {
      for (++j; j < text.size() && IsDigit(text[j]) && digits < 16; ++j, ++digits, ++fraction)
        mantissa = mantissa * 10 + static_cast<unsigned>(text[j] - '0');
    }
    const bool more = j < text.size() && (IsDigit(text[j]) || text[j] == 'e' || text[j] == 'E' || text[j] == '.' ||
                                          (text[j] == ',' && !comma));
    if (digits > 0 && digits <= 15 && !more) {
      const double value = static_cast<double>(mantissa) / kPowers[fraction];
      return negative ? -value : value;
    }
  }

  // The longest prefix of the form digits [point digits] [exponent], with
  // the first comma standing for the point.
  const std::size_t firstComma = text.find(',');
  const std::size_t decimalComma = (firstComma == 0) ? std::string_view::npos : firstComma;
  std::string number;
  int mantissaDigits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) number += text[i];
  if (i < text.size() && (text[i] == '.' || i == decimalComma)) {
    number += '.';
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits) number += text[i];
  }
  if (mantissaDigits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      number += text.substr(i, j - i);
      for (; j < text.size() && IsDigit(text[j]); ++j) number += text[j];
    }
  }

  double value = 0;
  const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
  if (res.ec != std::errc()) return 0;  // beyond the range of a double
  return negative ? -value : value;
}

}  // namespace tellurio
