#pragma once
// The small price chart of the fund data window, as points in the client
// rectangle of its area (left, top, right, bottom).

#include <string>
#include <vector>

namespace tellurio {

struct ChartPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ChartPoint&) const = default;
};

// Rows with more entries than the plot is wide are sampled; zero prices are
// left out; a series whose prices are all equal lies on the bottom axis.
std::vector<ChartPoint> FundChartPoints(const std::vector<std::string>& priceRows, int left, int top, int right,
                                        int bottom);

}  // namespace tellurio
