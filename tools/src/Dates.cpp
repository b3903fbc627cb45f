#include "Dates.h"

#include <cstdio>

namespace demo {

namespace {

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

bool IsValid(Date d) { return d.year >= 1 && d.year <= 9999 && d.day >= 1 && d.day <= DaysInMonth(d.year, d.month); }

Date Plus(Date d, long days) { return DateOfDayNumber(DayNumber(d) + days); }

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

}  // namespace

// Days from civil date after H. Hinnant's well-known algorithm.
long DayNumber(Date date) {
  const long y = date.year - (date.month <= 2 ? 1 : 0);
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long mp = (date.month + 9) % 12;
  const long doy = (153 * mp + 2) / 5 + date.day - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Date DateOfDayNumber(long days) {
  days += 719468;
  const long era = (days >= 0 ? days : days - 146096) / 146097;
  const long doe = days - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return Date{year, month, day};
}

int Weekday(Date date) {
  // 01.01.1970 was a Thursday.
  const long w = (DayNumber(date) + 4) % 7;
  return static_cast<int>(w < 0 ? w + 7 : w);
}

Date EasterSunday(int year) {
  const int a = year % 19;
  const int b = year / 100;
  const int c = year % 100;
  const int d = b / 4;
  const int e = b % 4;
  const int f = (b + 8) / 25;
  const int g = (b - f + 1) / 3;
  const int h = (19 * a + b - d - g + 15) % 30;
  const int i = c / 4;
  const int k = c % 4;
  const int l = (32 + 2 * e + 2 * i - h - k) % 7;
  const int m = (a + 11 * h + 22 * l) / 451;
  const int month = (h + l - 7 * m + 114) / 31;
  const int day = (h + l - 7 * m + 114) % 31 + 1;
  return Date{year, month, day};
}

bool IsPriceDay(Date date) {
  const int weekday = Weekday(date);
  if (weekday == 0 || weekday == 6) return false;
  const int md = date.month * 100 + date.day;
  if (md == 101 || md == 501 || md == 1003 || md == 1224 || md == 1225 || md == 1226 || md == 1231) return false;
  const Date easter = EasterSunday(date.year);
  const long offset = DayNumber(date) - DayNumber(easter);
  // Karfreitag, Ostermontag, Christi Himmelfahrt, Pfingstmontag.
  return offset != -2 && offset != 1 && offset != 39 && offset != 50;
}

Date LastPriceDayOnOrBefore(Date date) {
  while (!IsPriceDay(date)) date = Plus(date, -1);
  return date;
}

std::string DateText(Date date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.day, date.month, date.year);
  return text;
}

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
  const int last = DaysInMonth(d.year, d.month);
  if (d.day > last) d.day = last;
  return d;
}

}  // namespace demo
