#pragma once
// Lenient reading of the digit fields in date and number texts, and the
// character view of UTF-8 texts that the entry-field rules count in.
// Internal to the calendar library.

#include <cstddef>
#include <string>
#include <string_view>

namespace tellurio::calendar_detail {

// Reads like a C "atoi": leading blanks, an optional sign, then decimal
// digits up to the first other character.  No digits give 0.  The result is
// clamped to [lo, hi] (lo <= 0 <= hi), so no input can overflow.
int ReadInteger(std::string_view text, int lo, int hi);

// The decimal digits at the very start of the text (no blanks, no sign);
// none give 0.  Values beyond 999999999 are clamped to it.
int LeadingDigits(std::string_view text);

// The code points of a UTF-8 text; every byte of an invalid sequence becomes
// U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

// The UTF-8 text of the characters [first, first + count) of a text, counted
// as DecodeUtf8 counts them; parts beyond the end are left out.
std::string Utf8Mid(std::string_view text, std::size_t first, std::size_t count);

}  // namespace tellurio::calendar_detail
