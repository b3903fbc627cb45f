#pragma once
// The comparison series of two funds: the difference of their monthly
// changes in percentage points, for the months both funds have.

#include <string>
#include <vector>

namespace tellurio::chart {

// a and b are label/value lists of monthly averages (labels MM/JJ, oldest
// first).  For every month k ≥ 1 of a, the first month j ≥ 1 of b with the
// same label is looked up; when there is one, the comparison holds a's
// label and (a[k] ÷ a[k−1] − b[j] ÷ b[j−1]) × 100 with 2 decimals
// (truncated, as every number text).  Months of a without a partner in b
// are left out, and so are months whose previous average is 0 in either
// fund (their change is undefined).  Nothing when either list has fewer
// than two months.
std::vector<std::string> ComparisonSeries(const std::vector<std::string>& a, const std::vector<std::string>& b);

}  // namespace tellurio::chart
