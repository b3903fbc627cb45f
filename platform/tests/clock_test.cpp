#include <gtest/gtest.h>

#include "platform/Clock.h"

namespace tellurio {
namespace {

TEST(Clock, CivilDaysFollowTheGregorianCalendar) {
  EXPECT_EQ(DaysFromCivil({1970, 1, 1}), 0);
  EXPECT_EQ(DaysFromCivil({2000, 3, 1}) - DaysFromCivil({2000, 2, 28}), 2);  // 2000 is a leap year
  EXPECT_EQ(DaysFromCivil({2100, 3, 1}) - DaysFromCivil({2100, 2, 28}), 1);  // 2100 is not
  EXPECT_EQ(DaysFromCivil({1900, 3, 1}) - DaysFromCivil({1900, 2, 28}), 1);
  for (long long d = -800000; d < 800000; d += 997) {
    EXPECT_EQ(DaysFromCivil(CivilFromDays(d)), d);
  }
}

TEST(Clock, FixedClockGivesTheDateItWasSetTo) {
  FixedClock clock(CivilDate{2004, 1, 1}, 30);
  EXPECT_EQ(clock.TodayUtc(), (CivilDate{2004, 1, 1}));
  EXPECT_EQ(clock.SecondOfDayUtc(), 30);
  clock.Advance(std::chrono::hours(24));
  EXPECT_EQ(clock.TodayUtc(), (CivilDate{2004, 1, 2}));
  clock.Set(CivilDate{1999, 12, 31}, 86399);
  EXPECT_EQ(clock.TodayUtc(), (CivilDate{1999, 12, 31}));
}

}  // namespace
}  // namespace tellurio
