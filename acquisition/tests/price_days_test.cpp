// The days a download run fetches: price days after the newest price, up to
// today, oldest first, within the limit.  Expected days are read off a 2003
// and 2004 calendar by hand.

#include <gtest/gtest.h>

#include "acquisition/PriceDays.h"

namespace tellurio {
namespace {

std::vector<std::string> Texts(const std::vector<PackedDate>& days) {
  std::vector<std::string> out;
  for (PackedDate d : days) out.push_back(Calendar::FormatDate(d));
  return out;
}

PackedDate D(int day, int month, int year) { return MakePackedDate(year, month, day); }

TEST(PriceDays, WeekendsAndTheNationwideHolidaysAreNoPriceDays) {
  // Easter Sunday 2003 was 20 April: Karfreitag 18.04., Ostermontag 21.04.,
  // Himmelfahrt 29.05., Pfingstmontag 09.06.
  for (PackedDate d : {D(18, 4, 2003), D(21, 4, 2003), D(29, 5, 2003), D(9, 6, 2003), D(1, 1, 2004), D(1, 5, 2003),
                       D(3, 10, 2003), D(25, 12, 2003), D(26, 12, 2003), D(19, 4, 2003), D(20, 4, 2003)})
    EXPECT_FALSE(IsPriceDay(d)) << Calendar::FormatDate(d);
  // Regional holidays and Christmas Eve are price days; so is a plain
  // Thursday.
  for (PackedDate d : {D(6, 1, 2004), D(31, 10, 2003), D(19, 11, 2003), D(24, 12, 2003), D(17, 4, 2003)})
    EXPECT_TRUE(IsPriceDay(d)) << Calendar::FormatDate(d);
}

TEST(PriceDays, FromTheThursdayBeforeEasterTheFilesOfTheWeekAfterFollowInOrder) {
  const BackfillPlan plan = PlanBackfill(D(17, 4, 2003), D(24, 4, 2003));
  EXPECT_EQ(Texts(plan.days), (std::vector<std::string>{"22.04.2003", "23.04.2003", "24.04.2003"}));
  EXPECT_EQ(plan.leftOut, 0);
}

TEST(PriceDays, AcrossNewYearTheHolidaysOfTheNewYearCount) {
  const BackfillPlan plan = PlanBackfill(D(30, 12, 2003), D(7, 1, 2004));
  EXPECT_EQ(Texts(plan.days),
            (std::vector<std::string>{"31.12.2003", "02.01.2004", "05.01.2004", "06.01.2004", "07.01.2004"}));
}

TEST(PriceDays, TheLimitKeepsTheNewestDaysAndNamesTheOthers) {
  // From 02.01.2003 to 05.03.2003 there are 22 + 20 + 3 = 45 weekdays and
  // no holiday; the newest ten start on Thursday 20.02.
  const BackfillPlan plan = PlanBackfill(D(1, 1, 2003), D(5, 3, 2003), 10);
  EXPECT_EQ(Texts(plan.days),
            (std::vector<std::string>{"20.02.2003", "21.02.2003", "24.02.2003", "25.02.2003", "26.02.2003",
                                      "27.02.2003", "28.02.2003", "03.03.2003", "04.03.2003", "05.03.2003"}));
  EXPECT_EQ(plan.leftOut, 35);
  EXPECT_EQ(Calendar::FormatDate(plan.firstLeftOut), "02.01.2003");
  EXPECT_EQ(Calendar::FormatDate(plan.lastLeftOut), "19.02.2003");
  EXPECT_EQ(PlanBackfill(D(1, 1, 2003), D(5, 3, 2003)).days.size(), 45u);
}

TEST(PriceDays, WithoutAnyPriceOnlyTheLastPriceDayAndNothingWhenUpToDate) {
  EXPECT_EQ(Texts(PlanBackfill(std::nullopt, D(8, 3, 2003)).days), std::vector<std::string>{"07.03.2003"});
  EXPECT_EQ(Texts(PlanBackfill(std::nullopt, D(21, 4, 2003)).days), std::vector<std::string>{"17.04.2003"});
  EXPECT_EQ(Texts(PlanBackfill(std::nullopt, D(5, 3, 2003)).days), std::vector<std::string>{"05.03.2003"});
  EXPECT_TRUE(PlanBackfill(D(5, 3, 2003), D(5, 3, 2003)).days.empty());
  // Friday's prices on a Sunday: nothing is missing.
  EXPECT_TRUE(PlanBackfill(D(7, 3, 2003), D(9, 3, 2003)).days.empty());
  // A price dated in the future (a typing error) is the caller's to ignore;
  // here it simply means nothing is missing.
  EXPECT_TRUE(PlanBackfill(D(5, 3, 2030), D(5, 3, 2003)).days.empty());
}

}  // namespace
}  // namespace tellurio
