#include "views/chart/ChartCore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "calendar/NumberText.h"

namespace tellurio::chart {

namespace {

struct Spacing {
  int margin;       // between the widest value label and the value axis
  int dateGap;      // between two date labels
  int titleOffset;  // of the title below the top
};

Spacing SpacingOf(Medium medium) { return medium == Medium::Printer ? Spacing{56, 226, 56} : Spacing{5, 2, 1}; }

// The smallest value span a grid step may stand for: labels two decimals
// wide stay distinct when neighbouring ones differ by at least two cents.
constexpr double kSmallestStep = 0.02;

size_t U(int i) { return static_cast<size_t>(i); }

}  // namespace

std::optional<ChartKind> KindOfNumber(int number) {
  if (number < 0 || number > 6) return std::nullopt;
  return static_cast<ChartKind>(number);
}

FontSpec TitleFont(Medium medium) {
  return medium == Medium::Printer ? FontSpec{"Times New Roman", 280, 700, true}
                                   : FontSpec{"MS Sans Serif", 14, 700, true};
}

FontSpec AxisFont(Medium medium) {
  return medium == Medium::Printer ? FontSpec{"Times New Roman", 200, 400, false}
                                   : FontSpec{"MS Sans Serif", 10, 400, false};
}

FontSpec MarkerFont() { return FontSpec{"MS Sans Serif", 10, 400, false}; }

// ---- window, zoom, scrolling ----------------------------------------------------

bool IsWindowed(ChartKind kind, int points, int width) { return kind != ChartKind::LongTerm && points >= width - 150; }

std::pair<int, int> ShownRange(ChartKind kind, int points, int width, const ScrollState& s) {
  if (!IsWindowed(kind, points, width)) return {0, points};
  const int first = std::clamp(s.position, 0, points);
  const int last = std::clamp(points - (s.range - s.position), first, points);
  return {first, last};
}

bool ApplyZoom(ScrollState& s, int step, int points) {
  if (step == 0) {
    s.zoom = 0;
    return true;
  }
  if (step > 0) {
    s.zoom = s.zoom == 0 ? 1 : s.zoom * 2;
    s.range += 10;
    // Never fewer than three points in the window.
    if (points - s.range < 3) s.range = std::max(s.minimumRange, s.range - 10);
    return true;
  }
  s.zoom = s.zoom <= 1 ? 0 : s.zoom / 2;
  s.range -= 10;
  if (s.range < s.minimumRange) {
    s.range += 10;
    return false;
  }
  if (s.position > s.range) s.position = s.range;
  return true;
}

void ScrollLine(ScrollState& s, int delta) { s.position = std::clamp(s.position + delta, 0, s.range); }

void ScrollPage(ScrollState& s, int direction) {
  const int to = s.position + 5 * direction;
  s.position = (to < 0 || to > s.range) ? std::clamp(s.position + direction, 0, s.range) : to;
}

void ScrollTo(ScrollState& s, int position) { s.position = std::clamp(position, 0, s.range); }

// ---- titles ---------------------------------------------------------------------

std::string ChartTitle(ChartKind kind, const std::string& fund, const std::string& otherFund) {
  switch (kind) {
    case ChartKind::LongTerm:
      return "Langfristchart des Fonds " + fund;
    case ChartKind::Daily:
      return "Tageschart des Fonds " + fund;
    case ChartKind::MonthlyAverages:
      return "Monatliche Mitelwerte des Fonds " + fund;
    case ChartKind::YearlyAverages:
      return "Jährliche Mittelwerte des Fonds " + fund;
    case ChartKind::MonthlyChanges:
      return "Monatliche Performance des Fonds " + fund;
    case ChartKind::YearlyChanges:
      return "Jährliche Performance des Fonds " + fund;
    case ChartKind::Comparison:
      return fund + " im Vergleich zum Fond " + otherFund;
  }
  return fund;
}

std::string PeriodChartTitle(const std::string& fund, const std::string& from, const std::string& to) {
  return "Chart des Fonds " + fund + " vom " + from + " bis zum " + to;
}

// ---- layout ---------------------------------------------------------------------

ChartLayout LayoutChart(const ChartInput& in, const std::vector<std::string>& series, Rect area,
                        const TextMetrics& titleFont, const TextMetrics& axisFont, ScrollState& scroll) {
  ChartLayout g;
  g.area = area;
  g.title = in.title.empty() ? ChartTitle(in.kind, in.fund, in.otherFund) : in.title;
  const int n = static_cast<int>(series.size() / 2);
  const int titleH = titleFont.Height();
  const int textH = std::max(1, axisFont.Height());
  const Spacing spacing = SpacingOf(in.medium);

  // The window: the first screen layout of a windowed chart shows the
  // newest half; a window of fewer than three points is widened again.
  if (IsWindowed(in.kind, n, area.width)) {
    if (!scroll.initialised && in.medium == Medium::Screen) {
      scroll.range = scroll.position = scroll.minimumRange = n / 2;
      scroll.initialised = true;
    }
    if (scroll.range > 0 && n - scroll.range < 3 && scroll.zoom == 1) {
      scroll.range = std::max(0, scroll.range - 10);
      scroll.position = std::min(scroll.position, scroll.range);
    }
  }
  const auto [first, last] = ShownRange(in.kind, n, area.width, scroll);
  std::vector<double> all(U(n));
  for (int i = 0; i < n; ++i) all[U(i)] = ParseNumber(series[2 * U(i) + 1]);

  // Value range of the shown points; the largest starts at 0, so a series
  // of negative values has 0 as its top.
  double min = 9999999999.99, max = 0;
  for (int i = first; i < last; ++i) {
    min = std::min(min, all[U(i)]);
    max = std::max(max, all[U(i)]);
  }
  const bool empty = first >= last;
  if (empty) min = max = 0;

  g.baseline = area.Bottom() - 2 * textH;
  const int plotTop = area.top + 2 * titleH + 2 * textH;
  const int plotH = std::max(1, g.baseline - plotTop);
  g.plotTop = g.baseline - plotH;
  g.steps = std::max(1, (plotH - textH / 2) / textH);

  // A flat series (one price, or all equal) or one that moves by less than
  // a cent per grid step gets an axis around its values on which every
  // label differs: a span of 10 % of the value either side for a flat one,
  // and never less than two cents per step.
  if (!empty) {
    const double smallest = kSmallestStep * g.steps;
    double span = max - min;
    if (span == 0) span = std::max(0.2 * std::fabs(min), smallest);
    if (span < smallest) span = smallest;
    if (span != max - min) {
      const double centre = (min + max) / 2;
      min = centre - span / 2;
      max = centre + span / 2;
    }
  }
  g.lowest = min;
  g.range = max - min;
  g.step = g.range / g.steps;

  // The value axis stands one and a half widths of the widest value label
  // (the largest value's, or the smallest's when it is negative) right of
  // the left edge.
  const int labelW = std::max(axisFont.Width(FormatNumber(max, 2)), axisFont.Width(FormatNumber(min, 2)));
  g.plotLeft = area.left + labelW * 3 / 2 + spacing.margin;
  g.plotRight = area.Right() - labelW / 2 - 10;
  const int plotW = std::max(1, g.plotRight - g.plotLeft);

  if (!empty) {
    for (int k = 0; k <= g.steps; ++k) {
      const int y = g.baseline - k * textH;
      if (y < g.plotTop - textH) break;
      g.grid.push_back(GridLabel{y, FormatNumber(min + g.range * k / g.steps, 2),
                                 Rect{area.left, y - textH / 2, g.plotLeft - area.left - 3, textH}, k > 0});
    }
  }

  // Points: x evenly over the plot width, y by the value.
  const int shown = last - first;
  const double dx = shown > 1 ? static_cast<double>(plotW) / (shown - 1) : 0;
  const double scale = g.range > 0 ? (plotH - textH / 2.0) / g.range : 0;
  auto yOf = [&](double v) { return static_cast<int>(g.baseline - (v - min) * scale); };
  g.firstShown = first;
  g.points.resize(U(shown));
  for (int i = 0; i < shown; ++i) g.points[U(i)] = Point{g.plotLeft + static_cast<int>(i * dx), yOf(all[U(first + i)])};

  // Date labels at evenly spaced points, as many as fit side by side.
  // The labels of a series have one form (dates, MM/JJ, years), so the
  // first and the last shown one stand for all.
  int dateW = 0;
  if (IsPriceChart(in.kind)) {
    dateW = axisFont.Width("00.00.0000");
  } else if (shown > 0) {
    dateW = std::max(axisFont.Width(series[2 * U(first)]), axisFont.Width(series[2 * U(last - 1)]));
  }
  const int labelStep = dateW + spacing.dateGap;
  int labels = plotW / std::max(1, labelStep);
  if (shown < labels) labels = shown;
  std::vector<int> labelled;
  for (int k = 0; k < labels; ++k)
    labelled.push_back(labels == 1 ? 0 : static_cast<int>(static_cast<long long>(k) * (shown - 1) / (labels - 1)));
  // Few points far apart (a derived chart): evenly spaced indices can fall
  // on neighbouring points closer than a label is wide; then every n-th
  // point is labelled, n points being at least a label wide.
  bool crowded = false;
  for (size_t k = 1; k < labelled.size(); ++k)
    crowded = crowded || g.points[U(labelled[k])].x - g.points[U(labelled[k - 1])].x < labelStep;
  if (crowded) {
    const int stride = static_cast<int>(std::ceil(labelStep / dx));
    labelled.clear();
    for (int i = 0; i < shown; i += std::max(1, stride)) labelled.push_back(i);
  }
  for (const int i : labelled) {
    const std::string& text = series[2 * U(first + i)];
    const int x = g.points[U(i)].x;
    const int w = axisFont.Width(text);
    const int left = std::max(area.left, std::min(x - w / 2, area.Right() - 1 - w));
    // Under the lowest value label, which reaches half a line below the
    // baseline: on a printer page that half line is wider than the gap.
    g.dates.push_back(DateLabel{x, text, Rect{left, g.baseline + std::max(4, textH / 2), w + 2, textH}});
  }

  // Moving averages of the W prices before a point (its own not counted),
  // kept where they lie above the lowest grid line.
  if (IsPriceChart(in.kind) && n > 0) {
    std::vector<double> prefix(U(n) + 1, 0);
    for (int i = 0; i < n; ++i) prefix[U(i) + 1] = prefix[U(i)] + all[U(i)];
    for (const auto& [w, out] : {std::pair{200, &g.average200}, std::pair{38, &g.average38}}) {
      for (int i = std::max(first, w + 1); i < last; ++i) {
        const int y = yOf((prefix[U(i)] - prefix[U(i - w)]) / w);
        if (y < g.baseline) out->push_back(Point{g.points[U(i - first)].x, y});
      }
    }
  }

  g.titleBox = Rect{area.left, area.top + spacing.titleOffset, area.width, titleH};
  g.valid = true;
  return g;
}

// ---- value display --------------------------------------------------------------

bool InPlot(const ChartLayout& g, Point at) {
  return g.valid && at.x >= g.plotLeft && at.x <= g.plotRight && at.y >= g.plotTop && at.y <= g.baseline;
}

std::optional<Marker> MarkerAt(const ChartLayout& g, const std::vector<std::string>& series, Point at,
                               const TextMetrics& font) {
  if (!g.valid || g.points.empty()) return std::nullopt;
  size_t k = 0;
  for (size_t i = 0; i < g.points.size(); ++i)
    if (std::abs(g.points[i].x - at.x) < std::abs(g.points[k].x - at.x)) k = i;
  const size_t index = U(g.firstShown) + k;
  if (2 * index + 1 >= series.size()) return std::nullopt;
  Marker m;
  m.horizontal = Line{{g.plotLeft, at.y}, {g.plotRight, at.y}};
  m.vertical = Line{{at.x, g.plotTop}, {at.x, g.baseline}};
  m.text = series[2 * index] + "  " + FormatNumber(ParseNumber(series[2 * index + 1]), 2);
  const int h = font.Height();
  m.box = Rect{at.x + 8, at.y - h - 10, font.Width(m.text) + 10, h + 6};
  // Left of the cross when it would reach past the plot, below it when it
  // would reach above.
  if (m.box.Right() - 1 > g.plotRight) m.box.left = at.x - 8 - m.box.width + 1;
  if (m.box.top < g.plotTop) m.box.top = at.y + 8;
  return m;
}

}  // namespace tellurio::chart
