#include "calendar/Calendar.h"

#include <algorithm>
#include <cstdlib>

#include "calendar/detail/TextScan.h"

namespace tellurio {

const std::array<const char*, 7> kWeekdayNames = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                                  "Donnerstag", "Freitag", "Samstag"};
const std::array<const char*, 13> kMonthNames = {"",        "Januar",   "Februar", "Maerz",  "April",
                                                 "Mai",     "Juni",     "Juli",    "August", "September",
                                                 "Oktober", "November", "Dezember"};

namespace {

constexpr int kMinYear = 0;
constexpr int kMaxYear = 32767;

long long FloorDiv(long long a, long long b) {
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

long long FirstDay() {
  static const long long day = DaysFromCivil(CivilDate{kMinYear, 1, 1});
  return day;
}

long long LastDay() {
  static const long long day = DaysFromCivil(CivilDate{kMaxYear, 12, 31});
  return day;
}

// Days since 01.01.1970 of the date a packed value stands for, within the
// representable range.
long long DayIndex(PackedDate date) {
  const long long months = static_cast<long long>(PackedYear(date)) * 12 + (PackedMonth(date) - 1);
  const long long year = FloorDiv(months, 12);
  const int month = static_cast<int>(months - year * 12) + 1;
  if (year < kMinYear) return FirstDay();
  if (year > kMaxYear) return LastDay();
  const long long days = DaysFromCivil(CivilDate{static_cast<int>(year), month, 1}) + PackedDay(date) - 1;
  return std::clamp(days, FirstDay(), LastDay());
}

PackedDate FromDayIndex(long long days) {
  const CivilDate c = CivilFromDays(std::clamp(days, FirstDay(), LastDay()));
  return MakePackedDate(c.year, c.month, c.day);
}

int WeekdayOfIndex(long long days) {
  // 01.01.1970 was a Thursday.
  long long w = (days + 4) % 7;
  if (w < 0) w += 7;
  return static_cast<int>(w);
}

void AppendTwoDigits(std::string& out, int value) {
  if (value < 10) out += '0';
  out += std::to_string(value);
}

// The table form of the Gregorian Easter rule, valid for 1700..2399.
PackedDate EasterByTable(int year) {
  static constexpr int kA[] = {203, 203, 204, 204, 204, 205, 206};
  static constexpr int kB[] = {0, 0, 1, 1, 1, 1, 0};
  static constexpr int kN[] = {11, 12, 13, 13, 14, 15, 16};
  const int i = year / 100 - 17;
  const int a = year % 19;
  int d = (kA[i] - 11 * a) % 30;
  if (d == 28) d -= kB[i];
  if (d == 29) d -= kB[i];
  const int e = (year + year / 4 + d - kN[i]) % 7;
  const int march = d + 28 - e;
  return march > 31 ? MakePackedDate(year, 4, march - 31) : MakePackedDate(year, 3, march);
}

// The general Gregorian computus, for years the table does not cover.
PackedDate EasterByComputus(int year) {
  const int a = year % 19;
  const int b = year / 100;
  const int c = year % 100;
  const int h = (19 * a + b - b / 4 - (b - (b + 8) / 25 + 1) / 3 + 15) % 30;
  const int l = (32 + 2 * (b % 4) + 2 * (c / 4) - h - c % 4) % 7;
  const int m = (a + 11 * h + 22 * l) / 451;
  const int n = h + l - 7 * m + 114;
  return MakePackedDate(year, n / 31, n % 31 + 1);
}

const HolidayTable& EmptyHolidays() {
  static const HolidayTable table{};
  return table;
}

}  // namespace

PackedDate EasterSunday(int year) {
  year = std::clamp(year, kMinYear, kMaxYear);
  if (year >= 1700 && year <= 2399) return EasterByTable(year);
  return EasterByComputus(year);
}

Calendar::Calendar(const Clock& clock) : clock_(clock) {
  working_ = Today();
  BuildHolidays(PackedYear(working_), 0);
}

PackedDate Calendar::Today() const {
  const CivilDate c = clock_.TodayUtc();
  return MakePackedDate(std::clamp(c.year, kMinYear, kMaxYear), c.month, c.day);
}

std::string Calendar::TodayText() const { return FormatDate(Today()); }

PackedDate Calendar::Normalise(PackedDate date) { return FromDayIndex(DayIndex(date)); }

void Calendar::SetWorkingDate(PackedDate date, bool rebuildHolidays) {
  working_ = Normalise(date);
  if (rebuildHolidays) BuildHolidays(PackedYear(working_), 1);
}

int Calendar::WorkingWeekday() const { return WeekdayOf(working_); }

int Calendar::DaysInMonth(int year, int month) {
  switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
      return 31;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    case 2: {
      const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
      return leap ? 29 : 28;
    }
    default:
      return 0;
  }
}

int Calendar::DaysInWorkingMonth() const { return DaysInMonth(PackedYear(working_), PackedMonth(working_)); }

int Calendar::DaysInCurrentMonth() const {
  const PackedDate today = Today();
  return DaysInMonth(PackedYear(today), PackedMonth(today));
}

int Calendar::DaysInMonthOf(std::string_view dateText) const {
  const PackedDate d = Normalise(ParseDate(dateText));
  return DaysInMonth(PackedYear(d), PackedMonth(d));
}

int Calendar::DaysInMonthNumber(int month) const { return DaysInMonth(PackedYear(working_), month); }

PackedDate Calendar::ParseDate(std::string_view text) {
  using calendar_detail::ReadInteger;
  const std::size_t first = text.find('.');
  const std::string_view dayPart = text.substr(0, first);
  std::string_view monthPart;
  std::string_view yearPart;
  if (first != std::string_view::npos) {
    const std::string_view rest = text.substr(first + 1);
    const std::size_t second = rest.find('.');
    monthPart = rest.substr(0, second);
    if (second != std::string_view::npos) yearPart = rest.substr(second + 1);
  }
  return MakePackedDate(ReadInteger(yearPart, kMinYear, kMaxYear), ReadInteger(monthPart, 0, 255),
                        ReadInteger(dayPart, 0, 255));
}

std::string Calendar::FormatDate(PackedDate date) {
  std::string out;
  out.reserve(10);
  AppendTwoDigits(out, PackedDay(date));
  out += '.';
  AppendTwoDigits(out, PackedMonth(date));
  out += '.';
  out += std::to_string(PackedYear(date));
  return out;
}

std::string Calendar::FormatWorkingDate() const { return FormatDate(working_); }

int Calendar::WeekdayOf(PackedDate date) { return WeekdayOfIndex(DayIndex(date)); }

std::string Calendar::WorkingWeekdayName() const { return kWeekdayNames[WeekdayOf(working_)]; }

std::string Calendar::TodayWeekdayName() const { return kWeekdayNames[WeekdayOf(Today())]; }

std::string Calendar::WeekdayNameOf(std::string_view dateText) const {
  return kWeekdayNames[WeekdayOf(ParseDate(dateText))];
}

std::string Calendar::WorkingMonthName() const { return kMonthNames[PackedMonth(working_)]; }

std::string Calendar::TodayMonthName() const { return kMonthNames[PackedMonth(Today())]; }

std::string Calendar::MonthNameOf(std::string_view dateText) const {
  return kMonthNames[PackedMonth(Normalise(ParseDate(dateText)))];
}

void Calendar::BuildHolidays(int year, int table) {
  if (table != 0 && table != 1) return;
  year = std::clamp(year, kMinYear, kMaxYear);
  const long long easter = DayIndex(EasterSunday(year));
  const auto fixed = [year](int month, int day) { return DayIndex(MakePackedDate(year, month, day)); };
  // Bußtag: the Wednesday from 16 to 22 November.
  const int novemberFirst = WeekdayOfIndex(fixed(11, 1));
  const int bussTag = novemberFirst <= 2 ? 18 - novemberFirst : 25 - novemberFirst;

  struct Rule {
    const char* name;
    long long day;
  };
  const Rule rules[15] = {
      {"Neujahr", fixed(1, 1)},
      {"Heilige 3 Könige", fixed(1, 6)},
      {"Karfreitag", easter - 2},
      {"Ostersonntag", easter},
      {"Ostermontag", easter + 1},
      {"Tag der Arbeit", fixed(5, 1)},
      {"Himmelfahrt", easter + 39},
      {"Pfingstsonntag", easter + 49},
      {"Pfingstmontag", easter + 50},
      {"Tag der deutschen Einheit", fixed(10, 3)},
      {"Reformationstag", fixed(10, 31)},
      {"Allerheiligen", fixed(11, 1)},
      {"Bußtag", fixed(11, bussTag)},
      {"1. Weihnachtstag", fixed(12, 25)},
      {"2. Weihnachtstag", fixed(12, 26)},
  };
  HolidayTable& out = holidays_[table];
  for (std::size_t i = 0; i < out.size(); ++i) {
    const int weekday = WeekdayOfIndex(rules[i].day);
    out[i].name = rules[i].name;
    out[i].date = FormatDate(FromDayIndex(rules[i].day));
    out[i].weekdayName = kWeekdayNames[weekday];
    out[i].weekday = weekday;
  }
}

const HolidayTable& Calendar::Holidays(int table) const {
  if (table != 0 && table != 1) return EmptyHolidays();
  return holidays_[table];
}

int Calendar::DateDifference(std::string_view a, std::string_view b) const {
  const long long days = DayIndex(ParseDate(b)) - DayIndex(ParseDate(a));
  return static_cast<int>(days < 0 ? -days : days);
}

void Calendar::AddDays(std::string& dateText, int days) const {
  dateText = FormatDate(FromDayIndex(DayIndex(ParseDate(dateText)) + days));
}

}  // namespace tellurio
