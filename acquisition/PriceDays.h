#pragma once
// The days a download run fetches price files for: the price days after the
// newest price a provider's depots hold, up to and including today, oldest
// first, at most a fixed number of them.

#include <optional>
#include <vector>

#include "calendar/Calendar.h"

namespace tellurio {

// How many price days back a run fetches at most.
inline constexpr int kBackfillDayLimit = 60;

// Whether the publisher prices funds on that day: Monday to Friday, except
// the public holidays observed all over Germany (Neujahr, Karfreitag,
// Ostermontag, Tag der Arbeit, Himmelfahrt, Pfingstmontag, Tag der deutschen
// Einheit, both Christmas days).  The calendar's regional holidays (Heilige 3
// Könige, Reformationstag, Allerheiligen, Bußtag) are price days: prices are
// published on them, and a day left out would never be fetched again.
bool IsPriceDay(PackedDate day);

struct BackfillPlan {
  std::vector<PackedDate> days;  // oldest first
  // Price days after the newest price that the limit left out (the oldest
  // ones), and the first and last of them; 0 when none were left out.
  int leftOut = 0;
  PackedDate firstLeftOut = 0;
  PackedDate lastLeftOut = 0;
};

// The price days d with newest < d <= today, at most `limit` of them (the
// newest ones).  Without a newest price: the last price day on or before
// today.  Dates are valid dates (normalised).
BackfillPlan PlanBackfill(std::optional<PackedDate> newest, PackedDate today, int limit = kBackfillDayLimit);

// The day after / before a date.
PackedDate NextDay(PackedDate day);
PackedDate PreviousDay(PackedDate day);

// The date text "TT.MM.JJJJ" as a packed date when it is a valid date (two
// digits for day and month, four for the year); nothing otherwise.
std::optional<PackedDate> ParseValidDate(std::string_view text);

}  // namespace tellurio
