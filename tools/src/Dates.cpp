#include "Dates.h"

#include "calendar/Calendar.h"

namespace demo {

namespace {

bool IsValid(Date d) {
  return d.year >= 1 && d.year <= 9999 && d.day >= 1 && d.day <= tellurio::Calendar::DaysInMonth(d.year, d.month);
}

std::optional<int> Digits(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<Date> Checked(std::optional<int> day, std::optional<int> month, std::optional<int> year) {
  if (!day || !month || !year) return std::nullopt;
  const Date d{*year, *month, *day};
  if (!IsValid(d)) return std::nullopt;
  return d;
}

tellurio::PackedDate Packed(Date d) { return tellurio::MakePackedDate(d.year, d.month, d.day); }

}  // namespace

long DayNumber(Date date) { return static_cast<long>(tellurio::DaysFromCivil(date)); }

Date DateOfDayNumber(long days) { return tellurio::CivilFromDays(days); }

int Weekday(Date date) { return tellurio::Calendar::WeekdayOf(Packed(date)); }

bool IsPriceDay(Date date) {
  const int weekday = Weekday(date);
  if (weekday == 0 || weekday == 6) return false;
  const int md = date.month * 100 + date.day;
  if (md == 101 || md == 501 || md == 1003 || md == 1224 || md == 1225 || md == 1226 || md == 1231) return false;
  const tellurio::PackedDate easter = tellurio::EasterSunday(date.year);
  const long offset = DayNumber(date) - DayNumber(Date{tellurio::PackedYear(easter), tellurio::PackedMonth(easter),
                                                       tellurio::PackedDay(easter)});
  // Karfreitag, Ostermontag, Christi Himmelfahrt, Pfingstmontag.
  return offset != -2 && offset != 1 && offset != 39 && offset != 50;
}

Date LastPriceDayOnOrBefore(Date date) {
  while (!IsPriceDay(date)) date = DateOfDayNumber(DayNumber(date) - 1);
  return date;
}

std::string DateText(Date date) { return tellurio::Calendar::FormatDate(Packed(date)); }

std::optional<Date> ParseFileDate(std::string_view text) {
  if (text.size() != 8) return std::nullopt;
  return Checked(Digits(text.substr(0, 2)), Digits(text.substr(2, 2)), Digits(text.substr(4, 4)));
}

std::optional<Date> ParseDateText(std::string_view text) {
  if (text.size() != 10 || text[2] != '.' || text[5] != '.') return std::nullopt;
  return Checked(Digits(text.substr(0, 2)), Digits(text.substr(3, 2)), Digits(text.substr(6, 4)));
}

Date MonthsBefore(Date date, int months) {
  const int index = date.year * 12 + (date.month - 1) - months;
  Date d{index / 12, index % 12 + 1, date.day};
  const int last = tellurio::Calendar::DaysInMonth(d.year, d.month);
  if (d.day > last) d.day = last;
  return d;
}

}  // namespace demo
