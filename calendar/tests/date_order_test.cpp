#include "calendar/DateOrder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tellurio {
namespace {

TEST(DayNumber, CountsThirtyDayMonths) {
  EXPECT_EQ(DayNumber("05.03.2001", 0), 2001 * 360 + 2 * 30 + 5);
  EXPECT_EQ(DayNumber("31.01.2001", 0), DayNumber("01.02.2001", 0));
  EXPECT_LT(DayNumber("30.01.2001", 0), DayNumber("31.01.2001", 0));
  EXPECT_EQ(DayNumber("31.12.2000", 0), DayNumber("01.01.2001", 0));
  EXPECT_EQ(DayNumber("05.03", 3), 2 * 30 + 5);
  EXPECT_EQ(DayNumber("05.03.2001", 4), 0);
  EXPECT_EQ(DayNumber("05.03.2001", -1), 0);
}

TEST(DayNumber, TwoDigitYearsPivotAt84) {
  EXPECT_EQ(DayNumber("01.01.85", 1), 1985 * 360 + 1);
  EXPECT_EQ(DayNumber("01.01.84", 1), 2084 * 360 + 1);
  EXPECT_EQ(DayNumber("01.01.00", 1), 2000 * 360 + 1);
  // MM.JJ counts the month fully.
  EXPECT_EQ(DayNumber("03.99", 2), 1999 * 360 + 90);
  EXPECT_EQ(DayNumber("12.05", 2), 2005 * 360 + 360);
}

TEST(DayNumber, ReadsFieldsByPositionAndLeniently) {
  EXPECT_EQ(DayNumber("5.3.2001", 0), 2001 * 360 - 30 + 5);  // MM is ".2", read as 0
  EXPECT_EQ(DayNumber("xx.03.2001", 0), 2001 * 360 + 60);
  EXPECT_EQ(DayNumber("", 0), -30);
  EXPECT_EQ(DayNumber("7", 3), -30 + 7);
}

TEST(CompareDates, OrdersByDayNumber) {
  EXPECT_EQ(CompareDates("01.02.2001", "31.12.2000", 0), 1);
  EXPECT_EQ(CompareDates("31.12.2000", "01.02.2001", 0), -1);
  EXPECT_EQ(CompareDates("31.01.2001", "01.02.2001", 0), 0);
  EXPECT_EQ(CompareDates("01.01.99", "01.01.01", 1), -1);
}

TEST(SortRowsByDate, KeepsEqualDatesInTheirOrderBothWays) {
  std::vector<std::string> rows = {"02.01.2001", "a", "01.01.2001", "b", "02.01.2001", "c",
                                   "31.01.2001", "d", "01.02.2001", "e", "tail"};
  SortRowsByDate(rows, 2, 0, false);
  EXPECT_EQ(rows, (std::vector<std::string>{"01.01.2001", "b", "02.01.2001", "a", "02.01.2001", "c", "31.01.2001", "d",
                                            "01.02.2001", "e", "tail"}));
  SortRowsByDate(rows, 2, 0, true);
  EXPECT_EQ(rows, (std::vector<std::string>{"31.01.2001", "d", "01.02.2001", "e", "02.01.2001", "a", "02.01.2001", "c",
                                            "01.01.2001", "b", "tail"}));
  SortRowsByDate(rows, 0, 0, false);  // no rows: nothing happens
  EXPECT_EQ(rows.front(), "31.01.2001");
}

// The repeated exchange sort that the order is defined by.
void ExchangeSort(std::vector<std::string>& list, int width, int form, bool descending) {
  const size_t rows = list.size() / width;
  for (bool swapped = true; swapped;) {
    swapped = false;
    for (size_t r = 0; r + 1 < rows; ++r) {
      const int cmp = CompareDates(list[(r + 1) * width], list[r * width], form);
      if (descending ? cmp > 0 : cmp < 0) {
        for (int k = 0; k < width; ++k) std::swap(list[r * width + k], list[(r + 1) * width + k]);
        swapped = true;
      }
    }
  }
}

TEST(SortRowsByDate, MatchesTheExchangeSortOnRandomRows) {
  std::mt19937 random(20010305);
  for (int round = 0; round < 40; ++round) {
    const int width = 1 + round % 4;
    const int form = round % 2 == 0 ? 0 : 3;
    std::vector<std::string> list;
    const int rows = static_cast<int>(random() % 60);
    for (int r = 0; r < rows; ++r) {
      // Few distinct days, so that equal dates are common.
      const int day = 1 + static_cast<int>(random() % 31);
      const int month = 1 + static_cast<int>(random() % 3);
      std::string date = (day < 10 ? "0" : "") + std::to_string(day) + ".0" + std::to_string(month);
      if (form == 0) date += ".200" + std::to_string(random() % 2);
      list.push_back(date);
      for (int k = 1; k < width; ++k) list.push_back("r" + std::to_string(r) + "k" + std::to_string(k));
    }
    for (bool descending : {false, true}) {
      std::vector<std::string> expected = list;
      ExchangeSort(expected, width, form, descending);
      std::vector<std::string> actual = list;
      SortRowsByDate(actual, width, form, descending);
      ASSERT_EQ(actual, expected) << "round " << round << " descending " << descending;
    }
  }
}

TEST(ValueRange, StartsFromZeroAndTheSentinel) {
  const ValueRangeResult empty = ValueRange({});
  EXPECT_DOUBLE_EQ(empty.smallest, 9999999999.99);
  EXPECT_DOUBLE_EQ(empty.largest, 0);

  const ValueRangeResult negative = ValueRange({"01.01.2001", "-3,5", "02.01.2001", "-1,25"});
  EXPECT_DOUBLE_EQ(negative.smallest, -3.5);
  EXPECT_DOUBLE_EQ(negative.largest, 0);

  const ValueRangeResult mixed =
      ValueRange({"01.01.2001", "12,5", "02.01.2001", "7,25", "03.01.2001", "30", "04.01.2001"});
  EXPECT_DOUBLE_EQ(mixed.smallest, 7.25);
  EXPECT_DOUBLE_EQ(mixed.largest, 30);
}

}  // namespace
}  // namespace tellurio
