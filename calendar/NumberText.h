#pragma once
// Number texts: every amount, price, share count, factor and percentage is
// text with a decimal comma and no thousands separator.

#include <string>
#include <string_view>

namespace tellurio {

// Truncates toward zero to `decimals` digits (never rounds); writes "0,00"
// when the truncated value is 0 (whatever decimals is), with a leading "-"
// for negative input ("-0,00" for -0.004).  The digits are those of the
// value to 15 significant places, so a value's binary representation error
// does not cost a digit (0.57 with 2 decimals is "0,57"), while digits
// really there are cut (1.239 gives "1,23"); there is no integer narrowing,
// so amounts of any size are written in full.  decimals is clamped to
// 0..100 (0 leaves a trailing ","); NaN and infinities give "0,00".
std::string FormatNumber(double value, int decimals);

// The value rounded to 9 decimals, for percentages and other figures that
// are computed as quotients of decimal numbers and then cut by
// FormatNumber.  Such a quotient carries the binary noise of its inputs
// (5.35 / 5 - 1 is 0.06999999999999984), and cutting 6.99999999999998 to two
// decimals would show "6,99" for a change of exactly 7 %.  Nine decimals lie
// far below the two to four that are shown, so only that noise moves a
// shown digit.  Values of 10^6 or more in size, NaN and infinities are
// returned as they are.
inline double WithoutBinaryNoise(double value) {
  if (!(value > -1e6 && value < 1e6)) return value;
  // value x 10^9 lies below 2^51 in size here, so adding and taking away
  // 1.5 x 2^52 rounds it to a whole number (ties to even) without a call.
  constexpr double kShift = 6755399441055744.0;
  const double shifted = value * 1e9 + kShift;
  return (shifted - kShift) / 1e9;
}

// The nearest number text: rounds the exact binary value to `decimals`
// digits (a tie goes to the even digit), with a decimal comma; 0 decimals
// give no comma ("20"); a "-" only in front of a value that does not round
// to zero.  For texts that are meant as the nearest value: generated demo
// prices and figures, and the marks of a chart axis set at round steps.
// Amounts, prices and percentages the program stores or shows as its own
// results are written by FormatNumber.  decimals is clamped to 0..30; NaN
// and infinities are written as 0.
std::string FormatRounded(double value, int decimals);

// The first "," (unless at position 0) counts as the decimal point, as does
// "."; leading blanks are skipped; an optional sign and a decimal exponent
// are read; reading stops at the first character that does not fit; no
// number gives 0.  ",5" gives 0.  Only decimal notation is read ("inf",
// "nan" and hexadecimal forms give 0), and a number beyond the range of a
// double gives 0, so the result is always finite.
double ParseNumber(std::string_view text);

namespace detail {
// The 15 significant digits of a value > 0 and its decimal exponent (the
// rounded value lies in [10^exponent, 10^(exponent + 1))), the same that
// to_chars writes in scientific notation with 14 decimals: the exact
// binary value rounded to the nearest, a tie to the even digit.  Computed
// in integers, several times faster than formatting, for values from 10^-3
// to below 10^15 (amounts, prices, percentages); false, with nothing
// written, for any other value.  FormatNumber's digits.
bool SignificantDigits(double value, std::string& digits, int& exponent);
}  // namespace detail

}  // namespace tellurio
