#pragma once
// Ordering of date texts by day number, and value ranges of (date, value)
// lists.

#include <string>
#include <string_view>
#include <vector>

namespace tellurio {

// A 360-day count (12 months of 30 days) used to compare date texts.
//   form 0 "TT.MM.JJJJ": JJJJ*360 + (MM-1)*30 + TT
//   form 1 "TT.MM.JJ":   Y*360 + (MM-1)*30 + TT, Y = 1900+JJ when JJ > 84, else 2000+JJ
//   form 2 "MM.JJ":      Y*360 + MM*30
//   form 3 "TT.MM":      (MM-1)*30 + TT
// Fields are taken by position and read leniently (leading digits, else 0);
// any other form gives 0.
int DayNumber(std::string_view text, int form);

// 1 when DayNumber(a) > DayNumber(b), -1 when smaller, 0 when equal.
int CompareDates(std::string_view a, std::string_view b, int form);

// Reorders rows of rowWidth consecutive texts (the first text of each row a
// date) by DayNumber; equal dates keep their order.  n log n.  Texts after
// the last whole row stay at the end; a rowWidth below 1 changes nothing.
void SortRowsByDate(std::vector<std::string>& list, int rowWidth, int form, bool descending);

struct ValueRangeResult {
  double smallest = 9999999999.99;
  double largest = 0;
};
// Over a list of (date, value) lines: largest starts at 0, smallest at
// 9999999999.99; values are read with ParseNumber.  A last line without its
// partner is ignored.
ValueRangeResult ValueRange(const std::vector<std::string>& pairs);

}  // namespace tellurio
