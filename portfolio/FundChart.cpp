#include "portfolio/FundChart.h"

#include "calendar/NumberText.h"

namespace tellurio {

std::vector<ChartPoint> FundChartPoints(const std::vector<std::string>& rows, int left, int top, int right,
                                        int bottom) {
  const size_t n = rows.size() / 2;
  std::vector<double> prices(n);
  double min = 99999999.99, max = 0;
  for (size_t i = 0; i < n; ++i) {
    prices[i] = ParseNumber(rows[2 * i + 1]);
    if (prices[i] != 0 && prices[i] < min) min = prices[i];
    if (prices[i] > max) max = prices[i];
  }
  const int height = (bottom - top) - 10;
  const int width = (right - left) - 10;
  if (n == 0 || width <= 0 || height <= 0) return {};
  const double scale = (max - min) / height;

  std::vector<double> plotted;
  if (static_cast<size_t>(width) < n) {
    const double step = static_cast<double>(n) / width;
    for (double index = 0; index < static_cast<double>(n);
         index = static_cast<double>(static_cast<long>(index + step))) {
      const double p = prices[static_cast<size_t>(index)];
      if (p >= min) plotted.push_back(p);
      if (static_cast<long>(index + step) <= static_cast<long>(index)) break;  // no progress
    }
  } else {
    for (double p : prices)
      if (p >= min) plotted.push_back(p);
  }
  if (plotted.empty()) return {};

  std::vector<ChartPoint> points;
  points.reserve(plotted.size());
  const double dx = static_cast<double>(width) / static_cast<double>(plotted.size());
  double offset = 0;
  for (double p : plotted) {
    const double rise = scale > 0 ? (p - min) / scale : 0;
    points.push_back(ChartPoint{left + 5 + static_cast<int>(offset), static_cast<int>((bottom - 5) - rise)});
    offset = static_cast<double>(static_cast<long>(offset + dx));
  }
  return points;
}

}  // namespace tellurio
