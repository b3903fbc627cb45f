#include "calendar/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <random>
#include <string>

namespace tellurio {
namespace {

// "ddd,cc" from an integer count of hundredths (or ten-thousandths), built
// without floating point.
std::string FixedText(long long units, int decimals) {
  std::string digits = std::to_string(units);
  while (digits.size() < static_cast<size_t>(decimals) + 1) digits.insert(0, "0");
  return digits.substr(0, digits.size() - decimals) + "," + digits.substr(digits.size() - decimals);
}

TEST(FormatNumber, TruncatesTheDigitsThatAreReallyThere) {
  EXPECT_EQ(FormatNumber(1234.5, 2), "1234,50");
  EXPECT_EQ(FormatNumber(0.05, 4), "0,0500");
  EXPECT_EQ(FormatNumber(1.239, 2), "1,23");
  EXPECT_EQ(FormatNumber(2.675, 2), "2,67");
  EXPECT_EQ(FormatNumber(19.999, 2), "19,99");
  EXPECT_EQ(FormatNumber(0.569999, 2), "0,56");
  EXPECT_EQ(FormatNumber(1.000009, 5), "1,00000");
  EXPECT_EQ(FormatNumber(-1.239, 2), "-1,23");
}

TEST(FormatNumber, WritesZeroAsTwoDecimalsWithTheSignOfTheInput) {
  EXPECT_EQ(FormatNumber(0.005, 2), "0,00");
  EXPECT_EQ(FormatNumber(-0.004, 2), "-0,00");
  EXPECT_EQ(FormatNumber(0, 4), "0,00");
  EXPECT_EQ(FormatNumber(0.00004, 4), "0,00");
  EXPECT_EQ(FormatNumber(0.00001, 5), "0,00001");
  EXPECT_EQ(FormatNumber(std::nan(""), 2), "0,00");
  EXPECT_EQ(FormatNumber(INFINITY, 2), "0,00");
}

// Used to stop at 21474836,47 (the 32-bit limit of hundredths).
TEST(FormatNumber, WritesLargeAmountsInFull) {
  EXPECT_EQ(FormatNumber(21474836.47, 2), "21474836,47");
  EXPECT_EQ(FormatNumber(21474836.48, 2), "21474836,48");
  EXPECT_EQ(FormatNumber(-21474836.49, 2), "-21474836,49");
  EXPECT_EQ(FormatNumber(9999999999.99, 2), "9999999999,99");
  EXPECT_EQ(FormatNumber(123456789012.5, 2), "123456789012,50");
  EXPECT_EQ(FormatNumber(1e20, 2), "100000000000000000000,00");
}

// Used to give 0,56 for 0,57: the binary value of 0.57 lies just below it.
TEST(FormatNumber, EveryTypedAmountComesBackUnchanged) {
  for (long long cents = 0; cents <= 100000; ++cents) {
    const std::string text = FixedText(cents, 2);
    ASSERT_EQ(FormatNumber(ParseNumber(text), 2), cents == 0 ? "0,00" : text);
  }
  EXPECT_EQ(FormatNumber(0.57, 2), "0,57");
  EXPECT_EQ(FormatNumber(ParseNumber("1234567,89"), 2), "1234567,89");
  EXPECT_EQ(FormatNumber(ParseNumber("3,14159"), 5), "3,14159");
}

// A surcharge of p percent is stored as the factor 1 + p/100 with 4 decimals.
TEST(FormatNumber, SurchargeFactorsKeepTheTypedPercent) {
  EXPECT_EQ(FormatNumber(1 + 0.57 / 100, 4), "1,0057");
  EXPECT_EQ(FormatNumber(1 + 5.0 / 100, 4), "1,0500");
  for (int hundredths = 0; hundredths <= 2500; ++hundredths) {
    const double percent = ParseNumber(FixedText(hundredths, 2));
    ASSERT_EQ(FormatNumber(1 + percent / 100, 4), FixedText(10000 + hundredths, 4)) << hundredths;
  }
}

// FormatNumber's digits are worked out in integers where to_chars would
// format the value: both must give the same 15 digits and exponent for
// every value of the range (random bit patterns, decimal texts, ties of the
// exact binary value, the powers of ten and their neighbours, where the
// rounding carries into a new digit), and nothing outside it.
TEST(FormatNumber, DigitsInIntegersAreThoseOfAFullConversion) {
  auto expectSame = [](double value) {
    char buf[48];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const std::string sci(buf, res.ptr);  // "d.dddddddddddddde±x"
    std::string digits;
    int exponent = 0;
    // Just below 10^15 a value can round up to 10^15, outside the range.
    if (sci.ends_with("e+15")) {
      ASSERT_FALSE(detail::SignificantDigits(value, digits, exponent)) << sci;
      return;
    }
    ASSERT_TRUE(detail::SignificantDigits(value, digits, exponent)) << sci;
    ASSERT_EQ(digits, sci.substr(0, 1) + sci.substr(2, 14)) << sci;
    ASSERT_EQ(exponent, std::stoi(sci.substr(17))) << sci;
  };
  std::mt19937_64 random(11);
  for (int n = 0; n < 300000; ++n) {
    // Uniform in the logarithm over the range, every mantissa bit random.
    const double magnitude = std::pow(10.0, -3 + 18.0 * static_cast<double>(random() % 1000000) / 1000000);
    const double value =
        std::ldexp(static_cast<double>(random() >> 11) / 9007199254740992.0 + 0.5, std::ilogb(magnitude) + 1);
    if (value >= 1e-3 && value < 1e15) expectSame(value);
    // Decimal texts of up to 17 digits, as amounts and computed figures.
    const long long units = static_cast<long long>(random() % 100000000000000000ULL);
    const double text = static_cast<double>(units) / std::pow(10.0, static_cast<int>(random() % 18));
    if (text >= 1e-3 && text < 1e15) expectSame(text);
  }
  // Exact binary ties at the 16th digit: down to the even digit, up from
  // the odd one.
  for (const double tie : {1234567890123.125, 1234567890123.375, 123456789012.0625, 0.1000000000000005,
                           4503599627370.4961, 12345678901234.5, 98765432109876.5})
    expectSame(tie);
  for (int e = -3; e < 15; ++e) {
    const double ten = std::pow(10.0, e);
    for (double v : {ten, std::nextafter(ten, 0.0), std::nextafter(ten, 1e300), ten * 9.999999999999999,
                     ten * 9.9999999999999995, ten * 0.99999999999999995})
      if (v >= 1e-3 && v < 1e15) expectSame(v);
  }
  std::string digits = "unchanged";
  int exponent = 7;
  for (const double outside : {0.0, 9.9e-4, 1e15, 1e300, 5e-324, -1.0})
    EXPECT_FALSE(detail::SignificantDigits(outside, digits, exponent)) << outside;
  EXPECT_EQ(digits, "unchanged");
  EXPECT_EQ(exponent, 7);
  // Through FormatNumber at the edges of the range and beyond.
  EXPECT_EQ(FormatNumber(999999999999999.9, 2), "1000000000000000,00");  // 15 digits round up
  EXPECT_EQ(FormatNumber(0.0099999, 4), "0,0099");
  EXPECT_EQ(FormatNumber(-0.001, 3), "-0,001");
  EXPECT_EQ(FormatNumber(9.999999999999999, 2), "10,00");  // rounds up into a new digit
}

// FormatNumber as it was written before its digits were worked out in
// integers: the 15 significant digits from to_chars, cut to the decimals.
std::string FormatNumberByFormatting(double value, int decimals) {
  decimals = std::clamp(decimals, 0, 100);
  if (!std::isfinite(value)) return "0,00";
  char buf[48];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
  const std::string sci(buf, res.ptr);
  const size_t e = sci.find('e');
  const std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);
  const int integerDigits = std::stoi(sci.substr(e + 1)) + 1;
  std::string integerPart, fraction;
  if (integerDigits > 0) {
    integerPart = digits.substr(0, static_cast<size_t>(integerDigits));
    integerPart.resize(static_cast<size_t>(integerDigits), '0');
    if (static_cast<size_t>(integerDigits) < digits.size())
      fraction = digits.substr(static_cast<size_t>(integerDigits));
  } else {
    fraction = std::string(static_cast<size_t>(-integerDigits), '0') + digits;
  }
  fraction.resize(static_cast<size_t>(decimals), '0');
  const size_t firstNonZero = integerPart.find_first_not_of('0');
  integerPart = firstNonZero == std::string::npos ? "0" : integerPart.substr(firstNonZero);
  const std::string sign = value < 0 ? "-" : "";
  if (integerPart == "0" && fraction.find_first_not_of('0') == std::string::npos) return sign + "0,00";
  return sign + integerPart + "," + fraction;
}

TEST(FormatNumber, WritesWhatFormattingTheDigitsWrites) {
  std::mt19937_64 random(5);
  const int decimalCounts[] = {0, 1, 2, 3, 4, 5, 8, 12, 17, 30, 100};
  for (int n = 0; n < 200000; ++n) {
    // Log-uniform from 10^-6 to 10^18, both signs, every mantissa bit random.
    const double magnitude = std::pow(10.0, -6 + 24.0 * static_cast<double>(random() % 1000000) / 1000000);
    double value =
        std::ldexp(static_cast<double>(random() >> 11) / 9007199254740992.0 + 0.5, std::ilogb(magnitude) + 1);
    if (random() % 2) value = -value;
    const int decimals = decimalCounts[random() % std::size(decimalCounts)];
    ASSERT_EQ(FormatNumber(value, decimals), FormatNumberByFormatting(value, decimals)) << value << " " << decimals;
    // Cents and their neighbours, where truncation meets the 15th digit.
    const double cents = static_cast<double>(static_cast<long long>(random() % 100000000000LL) - 50000000000LL) / 100;
    for (const double v : {cents, std::nextafter(cents, 0.0), std::nextafter(cents, 1e300)})
      ASSERT_EQ(FormatNumber(v, 2), FormatNumberByFormatting(v, 2)) << v;
  }
  for (const double v : {0.0, -0.0, 0.001, -0.001, 0.0009999, 0.00999, -0.00999, 1e-300, 1e15, 999999999999999.0,
                         999999999999999.9, 123456789012345.6, 0.1, 0.5, 1.0, 10.0, 100.0})
    for (const int decimals : decimalCounts)
      ASSERT_EQ(FormatNumber(v, decimals), FormatNumberByFormatting(v, decimals));
}

// The rounding text goes to the nearest value where FormatNumber cuts:
// 1234,5678 is 1234,57 here and 1234,56 there.  Ties are decided on the
// stored binary value: 2,675 is stored as 2,67499999... and rounds down;
// 0,125 is exact and goes to the even digit.
TEST(FormatRounded, RoundsToTheNearestTextWithoutASignForZero) {
  EXPECT_EQ(FormatRounded(1234.5678, 2), "1234,57");
  EXPECT_EQ(FormatNumber(1234.5678, 2), "1234,56");
  EXPECT_EQ(FormatRounded(2.675, 2), "2,67");
  EXPECT_EQ(FormatRounded(0.125, 2), "0,12");
  EXPECT_EQ(FormatRounded(20, 0), "20");
  EXPECT_EQ(FormatRounded(-2.5, 1), "-2,5");
  EXPECT_EQ(FormatRounded(-0.004, 2), "0,00");
  EXPECT_EQ(FormatRounded(1.0 + 5.0 / 100, 4), "1,0500");
  EXPECT_EQ(FormatRounded(1e20, 0), "100000000000000000000");
  EXPECT_EQ(FormatRounded(std::nan(""), 1), "0,0");
}

TEST(ParseNumber, ReadsTheCommaOrThePointAsDecimalSeparator) {
  EXPECT_DOUBLE_EQ(ParseNumber("3,75"), 3.75);
  EXPECT_DOUBLE_EQ(ParseNumber("12.5"), 12.5);
  EXPECT_DOUBLE_EQ(ParseNumber("   4,25"), 4.25);
  EXPECT_DOUBLE_EQ(ParseNumber("\t-3,75"), -3.75);
  EXPECT_DOUBLE_EQ(ParseNumber("+7"), 7);
  EXPECT_DOUBLE_EQ(ParseNumber("7,5 EUR"), 7.5);
  EXPECT_DOUBLE_EQ(ParseNumber("5,"), 5);
  EXPECT_DOUBLE_EQ(ParseNumber("1,5e2"), 150);
  EXPECT_DOUBLE_EQ(ParseNumber("2e"), 2);
  // Only the first comma is a separator; a second one ends the number.
  EXPECT_DOUBLE_EQ(ParseNumber("1,25,5"), 1.25);
  EXPECT_DOUBLE_EQ(ParseNumber("1.234,56"), 1.234);
}

TEST(ParseNumber, TextWithoutALeadingNumberReadsAsZero) {
  EXPECT_EQ(ParseNumber(",5"), 0);
  EXPECT_DOUBLE_EQ(ParseNumber(" ,5"), 0.5);  // the comma is not at position 0 here
  EXPECT_EQ(ParseNumber(""), 0);
  EXPECT_EQ(ParseNumber("abc"), 0);
  EXPECT_EQ(ParseNumber("-"), 0);
  EXPECT_EQ(ParseNumber("k.A."), 0);
  // Never a non-finite value from stored text.
  EXPECT_EQ(ParseNumber("inf"), 0);
  EXPECT_EQ(ParseNumber("nan"), 0);
  EXPECT_EQ(ParseNumber("1e999"), 0);
  EXPECT_EQ(ParseNumber("0x1p3"), 0);
}

}  // namespace
}  // namespace tellurio

namespace tellurio {
namespace {

// The short cut for plain texts must give exactly the double of a full
// decimal conversion, for every length and position of the comma.
TEST(ParseNumber, PlainTextsReadExactlyAsAFullConversion) {
  std::mt19937_64 random(7);
  for (int n = 0; n < 20000; ++n) {
    const int digits = 1 + static_cast<int>(random() % 15);
    const int fraction = static_cast<int>(random() % (digits + 1));
    std::string text;
    for (int d = 0; d < digits; ++d) text += static_cast<char>('0' + random() % 10);
    std::string point = text;
    if (fraction > 0 && fraction < digits) {
      text.insert(text.end() - fraction, ',');
      point.insert(point.end() - fraction, '.');
    }
    double expected = 0;
    std::from_chars(point.data(), point.data() + point.size(), expected);
    ASSERT_EQ(ParseNumber(text), expected) << text;
    ASSERT_EQ(ParseNumber("-" + text), -expected) << text;
  }
  EXPECT_EQ(ParseNumber("1234567890123456,5"), 1234567890123456.5);  // 17 digits: the long way
  EXPECT_EQ(ParseNumber("12,5,3"), 12.5);
  EXPECT_EQ(ParseNumber("1.234,56"), 1.234);
  EXPECT_EQ(ParseNumber("2,5e2"), 250);
}

// Percent changes between prices of two decimals that are exactly whole
// percentages (5,00 to 5,35 is 7 %): the quotient's binary noise must not
// cost the shown digits ("6,99"), and digits really there are still cut.
TEST(WithoutBinaryNoise, WholePercentChangesOfCentPricesShowAsWholePercentages) {
  int noisy = 0;
  for (long long before = 500; before <= 50000; before += 7) {  // 5,00 .. 500,00
    for (long long percent = -60; percent <= 60; ++percent) {
      if (before * (100 + percent) % 100 != 0) continue;  // the new price would not be in whole cents
      const long long now = before * (100 + percent) / 100;
      const double change = (static_cast<double>(now) / 100 / (static_cast<double>(before) / 100) - 1) * 100;
      const std::string expected = (percent < 0 ? "-" : "") + FixedText(std::llabs(percent) * 100, 2);
      if (FormatNumber(change, 2) != expected && percent != 0) ++noisy;
      ASSERT_EQ(FormatNumber(WithoutBinaryNoise(change), 2), percent == 0 ? "0,00" : expected)
          << now << " against " << before;
    }
  }
  EXPECT_GT(noisy, 0) << "the cases include quotients whose noise shows without the rounding";
  // 1,0450 as a surcharge factor is 4,50 %.
  EXPECT_EQ(FormatNumber(WithoutBinaryNoise((1.045 - 1) * 100), 2), "4,50");
  EXPECT_EQ(FormatNumber((1.045 - 1) * 100, 2), "4,49");
}

TEST(WithoutBinaryNoise, KeepsTheDigitsThatAreReallyThere) {
  EXPECT_EQ(FormatNumber(WithoutBinaryNoise(6.9999999), 2), "6,99");
  EXPECT_EQ(FormatNumber(WithoutBinaryNoise(1.239), 2), "1,23");
  EXPECT_EQ(FormatNumber(WithoutBinaryNoise(-0.004), 2), "-0,00");
  EXPECT_EQ(WithoutBinaryNoise(0.123456789), 0.123456789);
  EXPECT_EQ(WithoutBinaryNoise(123456.5), 123456.5);
  EXPECT_EQ(WithoutBinaryNoise(2e6 + 1e-7), 2e6 + 1e-7) << "large values are left as they are";
  EXPECT_TRUE(std::isnan(WithoutBinaryNoise(std::nan(""))));
  EXPECT_TRUE(std::isinf(WithoutBinaryNoise(INFINITY)));
}

}  // namespace
}  // namespace tellurio
