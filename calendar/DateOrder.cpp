#include "calendar/DateOrder.h"

#include <algorithm>
#include <numeric>

#include "calendar/NumberText.h"
#include "calendar/detail/TextScan.h"

namespace tellurio {

namespace {

using calendar_detail::LeadingDigits;

// Characters [first, first + count) of the text, as far as they exist.
std::string_view Field(std::string_view text, std::size_t first, std::size_t count) {
  if (first >= text.size()) return {};
  return text.substr(first, count);
}

std::string_view Last(std::string_view text, std::size_t count) {
  return text.size() <= count ? text : text.substr(text.size() - count);
}

int TwoDigitYear(std::string_view text) {
  const int yy = LeadingDigits(Last(text, 2));
  return yy > 84 ? 1900 + yy : 2000 + yy;
}

}  // namespace

int DayNumber(std::string_view text, int form) {
  switch (form) {
    case 0:
      return LeadingDigits(Last(text, 4)) * 360 + (LeadingDigits(Field(text, 3, 2)) - 1) * 30 +
             LeadingDigits(Field(text, 0, 2));
    case 1:
      return TwoDigitYear(text) * 360 + (LeadingDigits(Field(text, 3, 2)) - 1) * 30 + LeadingDigits(Field(text, 0, 2));
    case 2:
      return TwoDigitYear(text) * 360 + LeadingDigits(Field(text, 0, 2)) * 30;
    case 3:
      return (LeadingDigits(Field(text, 3, 2)) - 1) * 30 + LeadingDigits(Field(text, 0, 2));
    default:
      return 0;
  }
}

int CompareDates(std::string_view a, std::string_view b, int form) {
  const int da = DayNumber(a, form);
  const int db = DayNumber(b, form);
  return da > db ? 1 : (da < db ? -1 : 0);
}

void SortRowsByDate(std::vector<std::string>& list, int rowWidth, int form, bool descending) {
  if (rowWidth <= 0) return;
  const auto width = static_cast<std::size_t>(rowWidth);
  const std::size_t rows = list.size() / width;
  if (rows < 2) return;

  std::vector<int> keys(rows);
  for (std::size_t r = 0; r < rows; ++r) keys[r] = DayNumber(list[r * width], form);
  std::vector<std::size_t> order(rows);
  std::iota(order.begin(), order.end(), std::size_t{0});
  // A stable sort leaves rows with equal dates in their order, exactly as
  // the exchange sort that swaps only strictly misordered neighbours.
  if (descending)
    std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) { return keys[a] > keys[b]; });
  else
    std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });

  std::vector<std::string> sorted;
  sorted.reserve(list.size());
  for (std::size_t r : order)
    for (std::size_t k = 0; k < width; ++k) sorted.push_back(std::move(list[r * width + k]));
  // Texts after the last whole row stay at the end.
  for (std::size_t i = rows * width; i < list.size(); ++i) sorted.push_back(std::move(list[i]));
  list.swap(sorted);
}

ValueRangeResult ValueRange(const std::vector<std::string>& pairs) {
  ValueRangeResult range;
  for (std::size_t i = 1; i < pairs.size(); i += 2) {
    const double value = ParseNumber(pairs[i]);
    if (value > range.largest) range.largest = value;
    if (value < range.smallest) range.smallest = value;
  }
  return range;
}

}  // namespace tellurio
