#pragma once
// The demo publisher's dates, on the program's calendar (calendar/ and the
// civil-date arithmetic of platform/Clock.h): day numbers, the days on which
// prices are fixed, and the date texts of files and pages.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace demo {

// year, month (1..12), day (1..31).
using Date = tellurio::CivilDate;

// Days since 01.01.1970 (proleptic Gregorian), and back.
long DayNumber(Date date);
Date DateOfDayNumber(long days);

// 0 = Sunday .. 6 = Saturday.
int Weekday(Date date);

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
