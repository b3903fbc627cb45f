#include "views/chart/DerivedSeries.h"

#include <string_view>
#include <unordered_map>

#include "calendar/NumberText.h"

namespace tellurio::chart {

std::vector<std::string> ComparisonSeries(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  const size_t na = a.size() / 2, nb = b.size() / 2;
  std::vector<std::string> out;
  if (na < 2 || nb < 2) return out;
  // The first month of b (from its second on) with each label.
  std::unordered_map<std::string_view, size_t> firstOf;
  for (size_t j = 1; j < nb; ++j) firstOf.emplace(b[2 * j], j);
  for (size_t k = 1; k < na; ++k) {
    const auto it = firstOf.find(a[2 * k]);
    if (it == firstOf.end()) continue;
    const size_t j = it->second;
    const double aBefore = ParseNumber(a[2 * k - 1]), bBefore = ParseNumber(b[2 * j - 1]);
    if (aBefore == 0 || bBefore == 0) continue;
    const double difference = (ParseNumber(a[2 * k + 1]) / aBefore - ParseNumber(b[2 * j + 1]) / bBefore) * 100;
    out.push_back(a[2 * k]);
    out.push_back(FormatNumber(difference, 2));
  }
  return out;
}

}  // namespace tellurio::chart
