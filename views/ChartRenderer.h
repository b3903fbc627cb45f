#pragma once
// Drawing of the price charts: title, value axis with grid, date axis, the
// series as one polyline and, for price charts, the 200-day and 38-day
// moving averages.  The chart pane draws through it on screen, the printing
// with printer scaling.  Also keeps the horizontal window of the series
// (scroll range, position and zoom).

#include <QPainter>
#include <QRect>
#include <string>
#include <vector>

namespace tellurio {

// 0 long-term, 1 daily, 2 monthly averages, 3 yearly averages, 4 monthly
// changes, 5 yearly changes, 6 comparison.
enum ChartKind { kLongTermKind = 0, kDailyKind = 1 };

struct ScrollState {
  int range = 0;     // points left out of the window
  int position = 0;  // first point of the window
  int zoom = 0;      // 0 none, 1, 2, 4, ...
  int minimumRange = 0;
  bool initialised = false;  // set by the first drawing of a chart
};

// What the last drawing placed where (for the value display).
struct ChartGeometry {
  int plotLeft = 0, plotTop = 0, plotRight = 0, baseline = 0;
  double lowest = 0;  // value of the lowest grid line
  double range = 0;   // max - min of the values shown
  double step = 0;    // value per grid step
  int steps = 0;
  int firstShown = 0;   // index in the series of the first point shown
  std::vector<int> xs;  // x of every point shown
  std::vector<int> ys;
  bool valid = false;
};

struct ChartInput {
  int kind = 0;
  std::string fund;
  std::string otherFund;            // comparison only
  std::vector<std::string> series;  // date/label, value pairs, oldest first
  bool printing = false;
};

// The title text of a chart.
std::string ChartTitle(const ChartInput& in);

// Draws the chart into rect; updates scroll (the first drawing of a chart
// shows the newest half of a long series) and returns the geometry.
ChartGeometry DrawChart(QPainter& painter, const QRect& rect, const ChartInput& in, ScrollState& scroll);

// The first and one past the last index of the points a window shows.
std::pair<int, int> ShownRange(int kind, int points, int rectWidth, const ScrollState& scroll);

// Zoom +1 / -1.  Returns false when zooming out would go below the minimum
// range (the range is then left as it was).
bool ApplyZoom(ScrollState& scroll, int step, int points);

// Moves the window: line (±1) or page (±5, falling back to ±1 when 5 would
// leave the range), or to a tracked position.
void ScrollLine(ScrollState& scroll, int delta);
void ScrollPage(ScrollState& scroll, int direction);
void ScrollTo(ScrollState& scroll, int position);

}  // namespace tellurio
