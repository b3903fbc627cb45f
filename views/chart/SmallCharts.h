#pragma once
// The two small charts of the program's dialogs, laid out by the chart core
// like the price charts and painted by views/chart/qt/ChartPainter.h:
//   - the price chart of the fund data window ("Fonddaten"): two axes and
//     the price series, without labels;
//   - the percentage charts of the fund portrait ("Wertentwicklung",
//     "Konkurrenzanalyse"): several series over monthly labels, with value
//     marks at round steps and the 0 % line.

#include <string>
#include <vector>

#include "views/chart/ChartCore.h"

namespace tellurio::chart {

// ---- fund data window ----------------------------------------------------------

struct FundDataChartLayout {
  Line valueAxis;             // (left + 5, bottom - 5) up to (left + 5, top + 5)
  Line timeAxis;              // (left + 5, bottom - 5) to (right - 5, bottom - 5)
  std::vector<Point> points;  // one polyline; empty when nothing is plotted
};

// The chart of the price rows (date, price pairs) in the client rectangle.
// The plot is the rectangle less 5 on every side.  min is the smallest
// price that is not 0, max the largest.  A series with more rows than the
// plot is wide is sampled: the row index starts at 0 and then becomes the
// truncation of index + rows ÷ width.  Zero prices are left out.  The m
// plotted points advance by exactly width ÷ m each, so they spread over the
// whole plot however many there are; a flat series lies on the bottom axis.
FundDataChartLayout LayoutFundDataChart(const std::vector<std::string>& priceRows, Rect client);

// ---- portrait charts --------------------------------------------------------------

struct PointF {
  double x = 0;
  double y = 0;
};

// A value mark of the percentage axis: a grid line across the plot (solid
// black for 0 %) and its label right-aligned left of the axis.
struct PercentMark {
  double y = 0;
  std::string text;  // "0 %", "20 %", "2,5 %", ...
  bool zero = false;
  double boxLeft = 0, boxTop = 0, boxWidth = 0, boxHeight = 0;
};

// A month label under the plot with its tick from (x, plot bottom) down 3.
struct PercentLabel {
  double x = 0;
  std::string text;
  double boxLeft = 0, boxTop = 0, boxWidth = 0, boxHeight = 0;  // text centred
};

struct PercentChartLayout {
  bool empty = true;  // no labels or no series: the chart says "Keine Angaben"
  // The plot, in the inclusive edges a painter draws its axes along.
  int plotLeft = 0, plotTop = 0, plotRight = 0, plotBottom = 0;
  std::vector<PercentMark> marks;
  std::vector<PercentLabel> labels;
  std::vector<std::vector<PointF>> lines;  // one per series, in their order
};

// A round step (1, 2, 2,5 or 5 times a power of ten) that divides span into
// about count parts; 1 for an empty span.
double RoundStep(double span, int count);

// The chart of the series (percent values, each at most as long as labels)
// over the labels, in a rectangle of width × height at (0, 0).  The axis
// always holds 0 %; it runs between the multiples of the round step around
// the values.
PercentChartLayout LayoutPercentChart(const std::vector<std::string>& labels,
                                      const std::vector<std::vector<double>>& series, int width, int height,
                                      const TextMetrics& font);

}  // namespace tellurio::chart
