#pragma once
// Dates: the calendar object (today, working date, weekday and month names,
// holidays, day arithmetic) and the date texts "TT.MM.JJJJ".
//
// The calendar is proleptic Gregorian throughout (month lengths and day
// arithmetic agree: February 1900 and 2100 have 28 days).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace tellurio {

// year * 65536 + month * 256 + day
using PackedDate = std::int32_t;
constexpr PackedDate MakePackedDate(int year, int month, int day) { return year * 65536 + month * 256 + day; }
constexpr int PackedYear(PackedDate d) { return d / 65536; }
constexpr int PackedMonth(PackedDate d) { return (d / 256) % 256; }
constexpr int PackedDay(PackedDate d) { return d % 256; }

// "Sonntag" .. "Samstag" (0 = Sunday), "Januar" .. "Dezember" (1..12; "Maerz").
extern const std::array<const char*, 7> kWeekdayNames;
extern const std::array<const char*, 13> kMonthNames;  // [0] is ""

struct HolidayEntry {
  std::string name;         // "Neujahr", ...
  std::string date;         // "TT.MM.JJJJ"
  std::string weekdayName;  // "Montag", ...
  int weekday = 0;          // 0 = Sunday
};
using HolidayTable = std::array<HolidayEntry, 15>;

class Calendar {
 public:
  // Reads the clock, sets the working date to today and builds holiday
  // table 0 for the current year.  The clock must outlive the calendar.
  explicit Calendar(const Clock& clock);

  PackedDate Today() const;
  std::string TodayText() const;  // FormatDate(Today())

  // Sets the working date, normalised to a valid date (day and month
  // overflow into the following months, day 0 is the last day of the month
  // before); with rebuild, holiday table 1 := the holidays of its year.
  void SetWorkingDate(PackedDate date, bool rebuildHolidays);
  PackedDate WorkingDate() const { return working_; }
  int WorkingWeekday() const;  // 0 = Sunday

  // The valid date a packed date stands for: the day and month fields
  // overflow as described at SetWorkingDate.  Results are kept within the
  // years 0..32767 (the packed form holds no more); dates beyond are clamped
  // to the first or last day of that range.
  static PackedDate Normalise(PackedDate date);

  static int DaysInMonth(int year, int month);  // 28..31; 0 for a bad month
  int DaysInWorkingMonth() const;
  int DaysInCurrentMonth() const;
  int DaysInMonthOf(std::string_view dateText) const;
  int DaysInMonthNumber(int month) const;  // in the working date's year

  // Splits at the first and second "."; each part read as a decimal integer
  // (leading blanks and a sign allowed, reading stops at the first other
  // character, nothing readable is 0).  Day and month are clamped to 0..255
  // and the year to 0..32767 so that the packed fields never run into each
  // other.  Not validated: callers normalise or check the result.
  static PackedDate ParseDate(std::string_view text);
  // "TT.MM.JJJJ": day and month with leading zero.
  static std::string FormatDate(PackedDate date);
  std::string FormatWorkingDate() const;

  static int WeekdayOf(PackedDate date);  // of the normalised date
  std::string WorkingWeekdayName() const;
  std::string TodayWeekdayName() const;
  std::string WeekdayNameOf(std::string_view dateText) const;

  std::string WorkingMonthName() const;
  std::string TodayMonthName() const;
  std::string MonthNameOf(std::string_view dateText) const;

  // Fills holiday table 0 or 1 with the 15 holidays of the year (the year
  // clamped to 0..32767).  Any other table number changes nothing.  The
  // working date is not changed.
  void BuildHolidays(int year, int table);
  // Table 0 or 1; any other number gives a table of 15 empty entries.
  // Table 1 is empty until a year is asked for.
  const HolidayTable& Holidays(int table) const;

  // Whole days between the normalised dates of two texts, never negative.
  int DateDifference(std::string_view a, std::string_view b) const;
  // The text becomes the date that many days after its normalised date
  // (earlier when negative), as "TT.MM.JJJJ".
  void AddDays(std::string& dateText, int days) const;

  const Clock& clock() const { return clock_; }

 private:
  const Clock& clock_;
  PackedDate working_ = 0;
  HolidayTable holidays_[2];
};

// Easter Sunday of a year.  1700..2399 follow the table form of the
// Gregorian rule; other years (clamped to 0..32767) use the general
// Gregorian computus, which agrees with the table wherever both apply.
PackedDate EasterSunday(int year);

}  // namespace tellurio
