#include "views/chart/SmallCharts.h"

#include <algorithm>
#include <cmath>

#include "calendar/NumberText.h"

namespace tellurio::chart {

// ---- fund data window ----------------------------------------------------------

FundDataChartLayout LayoutFundDataChart(const std::vector<std::string>& rows, Rect client) {
  const int left = client.left, top = client.top, right = client.Right(), bottom = client.Bottom();
  FundDataChartLayout out;
  out.valueAxis = Line{{left + 5, bottom - 5}, {left + 5, top + 5}};
  out.timeAxis = Line{{left + 5, bottom - 5}, {right - 5, bottom - 5}};

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
  if (n == 0 || width <= 0 || height <= 0) return out;
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
  if (plotted.empty()) return out;

  // The offset of point k is k × dx, cut to a whole unit only at the end:
  // cutting every step would stop a step below one unit from ever moving.
  out.points.reserve(plotted.size());
  const double dx = static_cast<double>(width) / static_cast<double>(plotted.size());
  for (size_t k = 0; k < plotted.size(); ++k) {
    const double rise = scale > 0 ? (plotted[k] - min) / scale : 0;
    out.points.push_back(
        Point{left + 5 + static_cast<int>(static_cast<double>(k) * dx), static_cast<int>((bottom - 5) - rise)});
  }
  return out;
}

// ---- portrait charts --------------------------------------------------------------

double RoundStep(double span, int count) {
  if (span <= 0 || count <= 0) return 1;
  const double raw = span / count;
  const double p = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (raw <= m * p) return m * p;
  return 10 * p;
}

namespace {

// The label of a mark: as many decimals as the step has (0, 1 or 2).
std::string PercentText(double v, double step) {
  auto whole = [](double x) { return std::abs(x - std::round(x)) < 1e-9; };
  const int decimals = whole(step) ? 0 : (whole(step * 10) ? 1 : 2);
  return FormatRounded(v, decimals) + " %";
}

}  // namespace

PercentChartLayout LayoutPercentChart(const std::vector<std::string>& labels,
                                      const std::vector<std::vector<double>>& series, int width, int height,
                                      const TextMetrics& font) {
  PercentChartLayout out;
  const size_t n = labels.size();
  if (n == 0 || series.empty()) return out;
  out.empty = false;

  double lo = 0, hi = 0;  // the 0 % line is always in the chart
  for (const std::vector<double>& s : series)
    for (double v : s) {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
  if (hi - lo < 1e-9) hi = lo + 1;
  const double step = RoundStep(hi - lo, 4);
  lo = std::floor(lo / step) * step;
  hi = std::ceil(hi / step) * step;

  const int textH = font.Height();
  const int left = font.Width("-000,0 %") + 10;
  // Room for half a month label right of the last point.
  const int labelW = font.Width("00/0000") + 8;
  out.plotLeft = left;
  out.plotTop = 8;
  out.plotRight = width - 1 - (labelW / 2 + 4);
  out.plotBottom = height - 1 - (textH + 10);
  const int plotW = out.plotRight - out.plotLeft + 1;
  const int plotH = out.plotBottom - out.plotTop + 1;
  auto yOf = [&](double v) { return out.plotBottom - (v - lo) / (hi - lo) * plotH; };
  auto xOf = [&](size_t i) {
    return n == 1 ? static_cast<double>((out.plotLeft + out.plotRight) / 2)
                  : out.plotLeft + static_cast<double>(i) * plotW / static_cast<double>(n - 1);
  };

  for (double v = lo; v <= hi + step / 2; v += step) {
    const double y = yOf(v);
    const bool zero = std::abs(v) < step / 1000;
    out.marks.push_back(PercentMark{y, zero ? std::string("0 %") : PercentText(v, step), zero, 0, y - textH / 2.0,
                                    static_cast<double>(left - 6), static_cast<double>(textH)});
  }

  // As many month labels as fit.
  const size_t every =
      std::max<size_t>(1, static_cast<size_t>(std::ceil(labelW * static_cast<double>(n) / std::max(1, plotW))));
  for (size_t i = 0; i < n; i += every) {
    const double x = xOf(i);
    out.labels.push_back(PercentLabel{x, labels[i], x - labelW / 2.0, static_cast<double>(out.plotBottom + 4),
                                      static_cast<double>(labelW), static_cast<double>(textH)});
  }

  for (const std::vector<double>& s : series) {
    std::vector<PointF>& line = out.lines.emplace_back();
    for (size_t i = 0; i < s.size() && i < n; ++i) line.push_back(PointF{xOf(i), yOf(s[i])});
  }
  return out;
}

}  // namespace tellurio::chart
