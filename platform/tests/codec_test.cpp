#include <gtest/gtest.h>

#include "platform/Codec1252.h"

namespace tellurio {
namespace {

// Every stored file goes through this codec twice; a byte that changes on the
// way would silently corrupt names and amounts.
TEST(Codec1252, EveryByteSurvivesTheRoundTrip) {
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const std::string utf8 = Utf8FromCp1252(one);
    bool exact = false;
    EXPECT_EQ(Cp1252FromUtf8(utf8, &exact), one) << "byte " << b;
    EXPECT_TRUE(exact) << "byte " << b;
  }
}

TEST(Codec1252, GermanLettersAndEuroSign) {
  EXPECT_EQ(Utf8FromCp1252("\xE4\xF6\xFC\xDF\xC4\x80"), "äöüßÄ€");
  EXPECT_EQ(Cp1252FromUtf8("Bußtag"), "Bu\xDFtag");
  EXPECT_EQ(Cp1252FromUtf8("Größte Positionen"),
            "Gr\xF6\xDF"
            "te Positionen");
}

TEST(Codec1252, UnmappableAndInvalidInputBecomesQuestionMarks) {
  bool exact = true;
  EXPECT_EQ(Cp1252FromUtf8("a\xE6\x97\xA5"
                           "b",
                           &exact),
            "a?b");  // a CJK character
  EXPECT_FALSE(exact);
  EXPECT_EQ(Cp1252FromUtf8("x\xC3", &exact), "x?");  // truncated sequence
  EXPECT_FALSE(exact);
  EXPECT_EQ(Cp1252FromUtf8("\xC0\xAF", &exact), "??");  // overlong "/"
}

TEST(Codec1252, WellFormedUtf8IsToldFromOtherBytes) {
  for (const char* good : {"", "Depot 1", "M\xC3\xBCller", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD"})
    EXPECT_TRUE(IsValidUtf8(good)) << good;
  // A code page 1252 "ü", a cut sequence, a stray continuation byte, an
  // overlong "/", a surrogate, a code point beyond U+10FFFF, a 5-byte lead.
  for (const char* bad : {"M\xFCller", "\xC3",
                          "a\x80"
                          "b",
                          "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xE2\x82"})
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

TEST(Codec1252, CharacterCountsAreNotByteCounts) {
  EXPECT_EQ(Utf8Length("Größte"), 6u);
  EXPECT_EQ(Utf8Left("Müller-Fonds", 2), "Mü");
  EXPECT_EQ(Utf8Left("ab", 8), "ab");
  EXPECT_TRUE(IsAscii("12,50"));
  EXPECT_FALSE(IsAscii("ä"));
}

}  // namespace
}  // namespace tellurio
