#include "acquisition/PriceDays.h"

#include <algorithm>

#include "acquisition/PriceFile.h"
#include "platform/Clock.h"

namespace tellurio {

namespace {

long long DayIndex(PackedDate d) { return DaysFromCivil({PackedYear(d), PackedMonth(d), PackedDay(d)}); }

PackedDate FromIndex(long long index) {
  const CivilDate c = CivilFromDays(index);
  return MakePackedDate(c.year, c.month, c.day);
}

PackedDate Shifted(PackedDate d, int days) { return FromIndex(DayIndex(d) + days); }

bool IsNationwideHoliday(PackedDate d) {
  const int year = PackedYear(d), month = PackedMonth(d), day = PackedDay(d);
  if ((month == 1 && day == 1) || (month == 5 && day == 1) || (month == 10 && day == 3) ||
      (month == 12 && (day == 25 || day == 26)))
    return true;
  const long long easter = DayIndex(EasterSunday(year));
  const long long index = DayIndex(d);
  for (int offset : {-2, 1, 39, 50})  // Karfreitag, Ostermontag, Himmelfahrt, Pfingstmontag
    if (index == easter + offset) return true;
  return false;
}

}  // namespace

PackedDate NextDay(PackedDate day) { return Shifted(day, 1); }
PackedDate PreviousDay(PackedDate day) { return Shifted(day, -1); }

bool IsPriceDay(PackedDate day) {
  const int weekday = Calendar::WeekdayOf(day);
  return weekday != 0 && weekday != 6 && !IsNationwideHoliday(day);
}

BackfillPlan PlanBackfill(std::optional<PackedDate> newest, PackedDate today, int limit) {
  BackfillPlan plan;
  if (!newest) {
    PackedDate d = today;
    // A holiday season never spans a fortnight; the bound only guards
    // against a calendar fault.
    for (int i = 0; i < 14 && !IsPriceDay(d); ++i) d = PreviousDay(d);
    if (IsPriceDay(d)) plan.days.push_back(d);
    return plan;
  }
  // Walked backwards from today, so that a newest price far in the past
  // costs no more than the limit.
  std::vector<PackedDate> days;
  const long long stop = DayIndex(*newest);
  for (long long index = DayIndex(today); index > stop; --index) {
    const PackedDate d = FromIndex(index);
    if (!IsPriceDay(d)) continue;
    if (static_cast<int>(days.size()) < limit) {
      days.push_back(d);
      continue;
    }
    // Only the left-out days are counted further; their range is what the
    // user is told.  Counting is cheap, but a date decades old would still
    // walk every day: at ten years the count stops.
    if (plan.leftOut == 0) plan.lastLeftOut = d;
    plan.firstLeftOut = d;
    ++plan.leftOut;
    if (DayIndex(today) - index > 3660) {
      plan.firstLeftOut = NextDay(*newest);
      break;
    }
  }
  std::reverse(days.begin(), days.end());
  plan.days = std::move(days);
  return plan;
}

std::optional<PackedDate> ParseValidDate(std::string_view text) {
  if (!IsDateText(text)) return std::nullopt;
  return Calendar::ParseDate(text);
}

}  // namespace tellurio
