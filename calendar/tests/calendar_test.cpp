#include "calendar/Calendar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Clock.h"

namespace tellurio {
namespace {

std::string Added(const Calendar& cal, std::string date, int days) {
  cal.AddDays(date, days);
  return date;
}

// Expected weekdays and dates below were looked up in an ordinary calendar.

TEST(CalendarNames, WeekdaysAndMonthsCarryTheirExactTexts) {
  FixedClock clock;
  Calendar cal(clock);
  const std::vector<std::string> week = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                         "Donnerstag", "Freitag", "Samstag"};
  for (int i = 0; i < 7; ++i)  // 04.03.2001 was a Sunday
    EXPECT_EQ(cal.WeekdayNameOf("0" + std::to_string(4 + i) + ".03.2001"), week[i]) << i;
  const std::vector<std::string> months = {"Januar", "Februar", "Maerz",     "April",   "Mai",      "Juni",
                                           "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(cal.MonthNameOf("15." + std::to_string(m) + ".2001"), months[m - 1]) << m;
}

TEST(CalendarToday, FollowsTheClockEachTimeItIsAsked) {
  FixedClock clock(CivilDate{2001, 3, 5});
  Calendar cal(clock);
  EXPECT_EQ(cal.TodayText(), "05.03.2001");
  EXPECT_EQ(cal.TodayWeekdayName(), "Montag");
  EXPECT_EQ(cal.TodayMonthName(), "Maerz");
  EXPECT_EQ(cal.FormatWorkingDate(), "05.03.2001");
  clock.Set(CivilDate{2004, 2, 10});
  EXPECT_EQ(cal.TodayText(), "10.02.2004");
  EXPECT_EQ(cal.DaysInCurrentMonth(), 29);
  EXPECT_EQ(cal.FormatWorkingDate(), "05.03.2001");  // the working date is not today
}

TEST(CalendarText, FormatsWithLeadingZerosAndParsesLeniently) {
  EXPECT_EQ(Calendar::FormatDate(MakePackedDate(2001, 3, 5)), "05.03.2001");
  EXPECT_EQ(Calendar::FormatDate(MakePackedDate(1999, 12, 31)), "31.12.1999");
  EXPECT_EQ(Calendar::ParseDate("5.3.2001"), MakePackedDate(2001, 3, 5));
  EXPECT_EQ(Calendar::ParseDate("05.03.2001xyz"), MakePackedDate(2001, 3, 5));
  EXPECT_EQ(Calendar::ParseDate("12.03"), MakePackedDate(0, 3, 12));
  EXPECT_EQ(Calendar::ParseDate("abc"), 0);
  EXPECT_EQ(Calendar::ParseDate(""), 0);
  // Out-of-range parts are clamped instead of running into the next field.
  const PackedDate huge = Calendar::ParseDate("99999999999.999.99999999");
  EXPECT_EQ(PackedDay(huge), 255);
  EXPECT_EQ(PackedMonth(huge), 255);
  EXPECT_EQ(PackedYear(huge), 32767);
}

TEST(CalendarWorkingDate, NormalisesOverflowingDaysAndMonths) {
  FixedClock clock;
  Calendar cal(clock);
  cal.SetWorkingDate(MakePackedDate(2001, 4, 31), false);
  EXPECT_EQ(cal.FormatWorkingDate(), "01.05.2001");
  EXPECT_EQ(cal.WorkingWeekdayName(), "Dienstag");
  EXPECT_EQ(cal.WorkingWeekday(), 2);
  EXPECT_EQ(cal.WorkingMonthName(), "Mai");
  cal.SetWorkingDate(MakePackedDate(2000, 3, 0), false);
  EXPECT_EQ(cal.FormatWorkingDate(), "29.02.2000");
  EXPECT_EQ(cal.DaysInWorkingMonth(), 29);
  cal.SetWorkingDate(MakePackedDate(2001, 13, 1), false);
  EXPECT_EQ(cal.FormatWorkingDate(), "01.01.2002");
  cal.SetWorkingDate(MakePackedDate(2001, 0, 15), false);
  EXPECT_EQ(cal.FormatWorkingDate(), "15.12.2000");
  EXPECT_EQ(cal.DaysInMonthNumber(2), 29);  // in the working date's year, 2000
}

TEST(CalendarWorkingDate, ExtremeValuesStayWithinTheRepresentableYears) {
  EXPECT_EQ(Calendar::FormatDate(Calendar::Normalise(Calendar::ParseDate("255.255.32767"))), "31.12.32767");
  EXPECT_EQ(Calendar::FormatDate(Calendar::Normalise(-1)), "01.01.0");
  FixedClock clock;
  Calendar cal(clock);
  EXPECT_EQ(Added(cal, "31.12.32767", 5), "31.12.32767");
  EXPECT_EQ(Added(cal, "01.01.0", -5), "01.01.0");
}

TEST(CalendarMonthLength, IsGregorianAndAgreesWithDayArithmetic) {
  EXPECT_EQ(Calendar::DaysInMonth(2100, 2), 28);
  EXPECT_EQ(Calendar::DaysInMonth(1900, 2), 28);
  EXPECT_EQ(Calendar::DaysInMonth(2000, 2), 29);
  EXPECT_EQ(Calendar::DaysInMonth(2004, 2), 29);
  EXPECT_EQ(Calendar::DaysInMonth(2001, 2), 28);
  EXPECT_EQ(Calendar::DaysInMonth(2001, 4), 30);
  EXPECT_EQ(Calendar::DaysInMonth(2001, 0), 0);
  EXPECT_EQ(Calendar::DaysInMonth(2001, 13), 0);

  // The day after the last day of every month is the 1st of the next one.
  FixedClock clock;
  Calendar cal(clock);
  for (int year = 1896; year <= 2104; ++year) {
    for (int month = 1; month <= 12; ++month) {
      const std::string last = Calendar::FormatDate(MakePackedDate(year, month, Calendar::DaysInMonth(year, month)));
      ASSERT_EQ(Added(cal, last, 1).substr(0, 2), "01") << last;
      ASSERT_EQ(cal.DaysInMonthOf(last), Calendar::DaysInMonth(year, month)) << last;
    }
  }
}

TEST(CalendarArithmetic, CountsAndAddsDaysAcrossYearAndLeapDay) {
  FixedClock clock;
  Calendar cal(clock);
  EXPECT_EQ(cal.DateDifference("31.12.1999", "01.01.2000"), 1);
  EXPECT_EQ(cal.DateDifference("01.01.2000", "31.12.1999"), 1);
  EXPECT_EQ(cal.DateDifference("28.02.2100", "01.03.2100"), 1);
  EXPECT_EQ(cal.DateDifference("01.01.2000", "01.01.2001"), 366);
  EXPECT_EQ(cal.DateDifference("05.03.2001", "05.03.2001"), 0);
  // "40.01.2001" packs below "05.02.2001" but is the later date (09.02.2001).
  EXPECT_EQ(cal.DateDifference("40.01.2001", "05.02.2001"), 4);

  EXPECT_EQ(Added(cal, "01.03.2000", -1), "29.02.2000");
  EXPECT_EQ(Added(cal, "01.03.2100", -1), "28.02.2100");
  EXPECT_EQ(Added(cal, "31.12.1999", 1), "01.01.2000");
  EXPECT_EQ(Added(cal, "05.03.2001", 365), "05.03.2002");
  EXPECT_EQ(Added(cal, "31.04.2001", 0), "01.05.2001");
}

TEST(CalendarEaster, MatchesKnownDates) {
  EXPECT_EQ(EasterSunday(2000), MakePackedDate(2000, 4, 23));
  EXPECT_EQ(EasterSunday(2008), MakePackedDate(2008, 3, 23));
  EXPECT_EQ(EasterSunday(2011), MakePackedDate(2011, 4, 24));
  EXPECT_EQ(EasterSunday(2019), MakePackedDate(2019, 4, 21));
  EXPECT_EQ(EasterSunday(2013), MakePackedDate(2013, 3, 31));
  EXPECT_EQ(EasterSunday(2038), MakePackedDate(2038, 4, 25));
  EXPECT_EQ(EasterSunday(2285), MakePackedDate(2285, 3, 22));  // earliest possible date
}

TEST(CalendarEaster, IsASundayFrom22MarchTo25AprilInEveryYear) {
  for (int year = 1583; year <= 3000; ++year) {
    const PackedDate easter = EasterSunday(year);
    ASSERT_EQ(Calendar::WeekdayOf(easter), 0) << year;
    const int monthDay = PackedMonth(easter) * 100 + PackedDay(easter);
    ASSERT_GE(monthDay, 322) << year;
    ASSERT_LE(monthDay, 425) << year;
    ASSERT_EQ(PackedYear(easter), year);
  }
}

TEST(CalendarHolidays, ListsTheFifteenHolidaysInOrder) {
  FixedClock clock;
  Calendar cal(clock);
  cal.BuildHolidays(2001, 1);
  struct Expected {
    const char* name;
    const char* date;
    const char* weekday;
    int index;
  };
  const Expected expected[15] = {
      {"Neujahr", "01.01.2001", "Montag", 1},
      {"Heilige 3 Könige", "06.01.2001", "Samstag", 6},
      {"Karfreitag", "13.04.2001", "Freitag", 5},
      {"Ostersonntag", "15.04.2001", "Sonntag", 0},
      {"Ostermontag", "16.04.2001", "Montag", 1},
      {"Tag der Arbeit", "01.05.2001", "Dienstag", 2},
      {"Himmelfahrt", "24.05.2001", "Donnerstag", 4},
      {"Pfingstsonntag", "03.06.2001", "Sonntag", 0},
      {"Pfingstmontag", "04.06.2001", "Montag", 1},
      {"Tag der deutschen Einheit", "03.10.2001", "Mittwoch", 3},
      {"Reformationstag", "31.10.2001", "Mittwoch", 3},
      {"Allerheiligen", "01.11.2001", "Donnerstag", 4},
      {"Bußtag", "21.11.2001", "Mittwoch", 3},
      {"1. Weihnachtstag", "25.12.2001", "Dienstag", 2},
      {"2. Weihnachtstag", "26.12.2001", "Mittwoch", 3},
  };
  const HolidayTable& table = cal.Holidays(1);
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(table[i].name, expected[i].name) << i;
    EXPECT_EQ(table[i].date, expected[i].date) << i;
    EXPECT_EQ(table[i].weekdayName, expected[i].weekday) << i;
    EXPECT_EQ(table[i].weekday, expected[i].index) << i;
  }
}

TEST(CalendarHolidays, MovableFeastsFollowEaster) {
  FixedClock clock;
  Calendar cal(clock);
  cal.BuildHolidays(2013, 1);
  EXPECT_EQ(cal.Holidays(1)[2].date, "29.03.2013");  // Karfreitag, Easter on 31 March
  cal.BuildHolidays(2038, 1);
  EXPECT_EQ(cal.Holidays(1)[8].date, "14.06.2038");  // Pfingstmontag, Easter on 25 April
  EXPECT_EQ(cal.Holidays(1)[6].date, "03.06.2038");  // Himmelfahrt
}

TEST(CalendarHolidays, BussTagIsTheWednesdayFrom16To22November) {
  FixedClock clock;
  Calendar cal(clock);
  cal.BuildHolidays(2020, 1);  // 1 November on a Sunday
  EXPECT_EQ(cal.Holidays(1)[12].date, "18.11.2020");
  cal.BuildHolidays(2023, 1);  // on a Wednesday
  EXPECT_EQ(cal.Holidays(1)[12].date, "22.11.2023");
  cal.BuildHolidays(2025, 1);  // on a Saturday
  EXPECT_EQ(cal.Holidays(1)[12].date, "19.11.2025");
  for (int year = 1700; year <= 2399; ++year) {
    cal.BuildHolidays(year, 1);
    const HolidayEntry& buss = cal.Holidays(1)[12];
    ASSERT_EQ(buss.weekdayName, "Mittwoch") << year;
    const int day = std::stoi(buss.date.substr(0, 2));
    ASSERT_TRUE(day >= 16 && day <= 22) << buss.date;
  }
}

TEST(CalendarHolidays, TableZeroIsTheCurrentYearAndTableOneTheLastAskedFor) {
  FixedClock clock(CivilDate{2001, 3, 5});
  Calendar cal(clock);
  EXPECT_EQ(cal.Holidays(0)[3].date, "15.04.2001");
  EXPECT_EQ(cal.Holidays(1)[3].date, "");

  cal.SetWorkingDate(MakePackedDate(2019, 6, 1), false);
  EXPECT_EQ(cal.Holidays(1)[3].date, "");
  cal.SetWorkingDate(MakePackedDate(2019, 6, 1), true);
  EXPECT_EQ(cal.Holidays(1)[3].date, "21.04.2019");
  EXPECT_EQ(cal.Holidays(0)[3].date, "15.04.2001");
  cal.BuildHolidays(2013, 0);
  EXPECT_EQ(cal.FormatWorkingDate(), "01.06.2019");
  cal.BuildHolidays(2001, 0);

  // An unknown table number neither writes nor reads out of bounds.
  cal.BuildHolidays(2008, 2);
  cal.BuildHolidays(2008, -1);
  EXPECT_EQ(cal.Holidays(0)[3].date, "15.04.2001");
  EXPECT_EQ(cal.Holidays(1)[3].date, "21.04.2019");
  EXPECT_EQ(cal.Holidays(2)[3].name, "");
}

}  // namespace
}  // namespace tellurio
