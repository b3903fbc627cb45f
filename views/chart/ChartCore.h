#pragma once
// The chart core: everything about a price chart that is not painting.
// From a series (texts alternating label and value, oldest first), a target
// rectangle and the metrics of the two chart fonts it computes the window of
// the series that is shown, the value axis with its labels and grid lines,
// the date axis, the position of every point, the 200-day and 38-day moving
// averages and the title; afterwards it answers what the value display shows
// at a point.  A painter (views/chart/qt/ChartPainter.h) draws the result
// with a QPainter; a printer page is drawn the same way.
//
// Units.  All coordinates are in the units of the device the chart is drawn
// on: pixels on screen, printer units on a printer page.  The caller passes
// the rectangle and the font metrics in the same units and picks the medium,
// which sets the fonts, margins and label gaps of that medium:
//
//                          Screen                  Printer
//   title font             "MS Sans Serif" 14,     "Times New Roman" 280,
//                          bold, underlined        bold, underlined
//   axis font              "MS Sans Serif" 10      "Times New Roman" 200
//   margin left of labels  5                       56
//   gap between dates      2                       226
//   title below the top    1                       56
//   scroll window          set up on first layout  never: pass a fresh
//                                                  ScrollState, and the whole
//                                                  series is shown
//
// Printing a chart: take the page rectangle in device units, build the two
// fonts from TitleFont(Medium::Printer) and AxisFont(Medium::Printer) at the
// printer's resolution, measure them through a TextMetrics, call LayoutChart
// with Medium::Printer, a fresh ScrollState and, where the printed title
// differs from the screen title (the daily chart of a period), a title of
// its own (ChartInput::title, see PeriodChartTitle), and paint the layout.
//
// Thread-safety: plain functions on values; a TextMetrics is only used for
// the length of the call it is passed to.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tellurio::chart {

// The chart kinds; the numbers are those the program has always used for
// them.
enum class ChartKind {
  LongTerm = 0,
  Daily = 1,
  MonthlyAverages = 2,
  YearlyAverages = 3,
  MonthlyChanges = 4,
  YearlyChanges = 5,
  Comparison = 6,
};
constexpr int KindNumber(ChartKind kind) { return static_cast<int>(kind); }
// The kind of a number 0..6; nothing for any other number.
std::optional<ChartKind> KindOfNumber(int number);
// Price charts (long-term, daily) draw the moving averages.
constexpr bool IsPriceChart(ChartKind kind) { return kind == ChartKind::LongTerm || kind == ChartKind::Daily; }

enum class Medium { Screen, Printer };

// A font by the program's classic name; the Qt side maps it to an
// installed font (views/Fonts.h).  height is the character height in
// device units.
struct FontSpec {
  std::string family;
  int height = 0;
  int weight = 400;
  bool underline = false;
};
FontSpec TitleFont(Medium medium);
FontSpec AxisFont(Medium medium);
// The font of the value display's label (screen only).
FontSpec MarkerFont();

// What the core needs to know about a font: measured by the caller on the
// device the chart is drawn on.
class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  // The height of one line of text.
  virtual int Height() const = 0;
  // The advance width of a UTF-8 text.
  virtual int Width(std::string_view text) const = 0;
};

// A rectangle: left and top inclusive, width and height in device units.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }   // one past the last column
  int Bottom() const { return top + height; }  // one past the last row
  bool operator==(const Rect&) const = default;
};

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Line {
  Point from;
  Point to;
  bool operator==(const Line&) const = default;
};

// The horizontal window of a series that does not fit its pane, moved by
// the scroll bar and the zoom commands.
struct ScrollState {
  int range = 0;     // points left out of the window
  int position = 0;  // first point of the window
  int zoom = 0;      // 0 none, 1, 2, 4, ...
  int minimumRange = 0;
  bool initialised = false;  // set by the first screen layout of a chart
};

// Kind 0 always shows every point; the other kinds show a window once the
// series has as many points as the width less 150.
bool IsWindowed(ChartKind kind, int points, int width);
// The first and one past the last index of the points a window shows.
std::pair<int, int> ShownRange(ChartKind kind, int points, int width, const ScrollState& scroll);
// Zoom +1 / -1 (0 clears the zoom level).  +1 leaves 10 points fewer in
// the window, -1 10 more.  Returns false when zooming out would go below
// the first window's range (the range is then left as it was).
bool ApplyZoom(ScrollState& scroll, int step, int points);
// Moves the window: line (±1) or page (±5, falling back to ±1 when 5 would
// leave the range), or to a tracked position; always within 0..range.
void ScrollLine(ScrollState& scroll, int delta);
void ScrollPage(ScrollState& scroll, int direction);
void ScrollTo(ScrollState& scroll, int position);

struct ChartInput {
  ChartKind kind = ChartKind::LongTerm;
  std::string fund;
  std::string otherFund;  // the comparison's second fund
  std::string title;      // when not empty, shown instead of ChartTitle
  Medium medium = Medium::Screen;
};

// "Langfristchart des Fonds " + fund, ...; for the comparison fund + " im
// Vergleich zum Fond " + other fund.
std::string ChartTitle(ChartKind kind, const std::string& fund, const std::string& otherFund = {});
// The printed title of a daily chart of a period.
std::string PeriodChartTitle(const std::string& fund, const std::string& from, const std::string& to);

// A value label of the vertical axis, with the grid line at its height.
struct GridLabel {
  int y = 0;
  std::string text;
  Rect box;          // the text is right-aligned and centred vertically in it
  bool line = true;  // a grid line from the axis to the plot's right end
};

// A date label under the baseline, with its tick from (x, baseline) to
// (x, baseline + 3).
struct DateLabel {
  int x = 0;
  std::string text;
  Rect box;  // the text is drawn left-aligned at the top of it
};

struct ChartLayout {
  Rect area;
  std::string title;
  Rect titleBox;  // the title is centred horizontally, at the top of it

  // The plot: the value axis stands at plotLeft and runs from the baseline
  // up to plotTop; the baseline runs from plotLeft to plotRight.
  int plotLeft = 0;
  int plotTop = 0;
  int plotRight = 0;
  int baseline = 0;
  double lowest = 0;  // value at the baseline (the lowest grid line)
  double range = 0;   // value span of the plot
  double step = 0;    // value per grid step
  int steps = 0;

  std::vector<GridLabel> grid;  // from the baseline upward
  std::vector<DateLabel> dates;

  // The points shown: series index firstShown + i is drawn at points[i].
  int firstShown = 0;
  std::vector<Point> points;
  // The moving averages of the 200 and the 38 prices before a point (price
  // charts only; empty when no point qualifies).
  std::vector<Point> average200;
  std::vector<Point> average38;

  bool valid = false;  // false for a layout that was never made
};

// Lays out a chart of the series into area.  On the first screen layout of
// a windowed chart the scroll state is set to show the newest half of the
// series (range = position = minimumRange = points ÷ 2); a window of fewer
// than three points at zoom level 1 is widened by 10 again.  The series is
// read with ParseNumber; an odd last text is ignored.
ChartLayout LayoutChart(const ChartInput& input, const std::vector<std::string>& series, Rect area,
                        const TextMetrics& titleFont, const TextMetrics& axisFont, ScrollState& scroll);

// The value display at a point of the chart: a cross through the point
// over the whole plot and a label box with the date and the value of the
// shown point nearest in x.
struct Marker {
  Line horizontal;
  Line vertical;
  Rect box;  // filled, framed by its inner edge, the text centred in it
  std::string text;
};
// True when the point lies in the plot (its edges included).
bool InPlot(const ChartLayout& layout, Point at);
// Nothing for a layout without points.
std::optional<Marker> MarkerAt(const ChartLayout& layout, const std::vector<std::string>& series, Point at,
                               const TextMetrics& markerFont);

}  // namespace tellurio::chart
