#pragma once
// Calendar arithmetic of the demo publisher: dates, day numbers, the days on
// which prices are fixed, and the date texts of files and pages.

#include <optional>
#include <string>
#include <string_view>

namespace demo {

struct Date {
  int year = 2003;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  bool operator==(const Date&) const = default;
};

// Days since 01.01.1970 (proleptic Gregorian), and back.
long DayNumber(Date date);
Date DateOfDayNumber(long days);

// 0 = Sunday .. 6 = Saturday.
int Weekday(Date date);

// Easter Sunday of the year (Gregorian computus).
Date EasterSunday(int year);

// A day on which the funds fix prices: Monday to Friday, except the
// nationwide public holidays (Neujahr, Karfreitag, Ostermontag, 1. Mai,
// Christi Himmelfahrt, Pfingstmontag, Tag der Deutschen Einheit, both
// Christmas days) and the bank holidays Heiligabend and Silvester.
bool IsPriceDay(Date date);

// The latest price day on or before date.
Date LastPriceDayOnOrBefore(Date date);

// "TT.MM.JJJJ".
std::string DateText(Date date);

// "TTMMJJJJ" (the name of a price file without ".txt") or "TT.MM.JJJJ";
// nothing when the text is not exactly that form or not a real date.
std::optional<Date> ParseFileDate(std::string_view text);
std::optional<Date> ParseDateText(std::string_view text);

// The same day of the month `months` months earlier, moved to the last day
// of that month when it has fewer days.
Date MonthsBefore(Date date, int months);

}  // namespace demo
