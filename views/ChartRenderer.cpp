#include "views/ChartRenderer.h"

#include <QFontMetrics>
#include <QPolygon>
#include <algorithm>

#include "calendar/NumberText.h"
#include "views/Fonts.h"

namespace tellurio {

std::string ChartTitle(const ChartInput& in) {
  static const char* const kTitles[] = {"Langfristchart des Fonds ",         "Tageschart des Fonds ",
                                        "Monatliche Mitelwerte des Fonds ",  "Jährliche Mittelwerte des Fonds ",
                                        "Monatliche Performance des Fonds ", "Jährliche Performance des Fonds "};
  if (in.kind == 6) return in.fund + " im Vergleich zum Fond " + in.otherFund;
  if (in.kind < 0 || in.kind > 5) return in.fund;
  return kTitles[in.kind] + in.fund;
}

std::pair<int, int> ShownRange(int kind, int points, int rectWidth, const ScrollState& s) {
  if (kind == kLongTermKind || points < rectWidth - 150) return {0, points};
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

ChartGeometry DrawChart(QPainter& p, const QRect& rect, const ChartInput& in, ScrollState& scroll) {
  ChartGeometry g;
  const int n = static_cast<int>(in.series.size() / 2);
  p.save();
  p.fillRect(rect, Qt::white);
  const QFont titleFont = in.printing ? ProgramFont(QStringLiteral("Times New Roman"), 280, 700, true)
                                      : ProgramFont(QStringLiteral("MS Sans Serif"), 14, 700, true);
  const QFont axisFont = in.printing ? ProgramFont(QStringLiteral("Times New Roman"), 200)
                                     : ProgramFont(QStringLiteral("MS Sans Serif"), 10);
  const QFontMetrics tm(titleFont), am(axisFont);
  const int titleH = tm.height(), textH = std::max(1, am.height());
  const int margin = in.printing ? 56 : 5;
  const int gap = in.printing ? 226 : 2;

  // The window of the series: the first drawing of a windowed chart shows
  // the newest half.
  const bool windowed = in.kind != kLongTermKind && n >= rect.width() - 150;
  if (windowed && !scroll.initialised && !in.printing) {
    scroll.range = scroll.position = scroll.minimumRange = n / 2;
    scroll.initialised = true;
  }
  const auto [first, last] = ShownRange(in.kind, n, rect.width(), scroll);
  std::vector<double> values;
  values.reserve(static_cast<size_t>(std::max(0, last - first)));
  for (int i = first; i < last; ++i) values.push_back(ParseNumber(in.series[2 * static_cast<size_t>(i) + 1]));

  double min = 9999999999.99, max = 0;
  for (double v : values) {
    min = std::min(min, v);
    max = std::max(max, v);
  }
  if (values.empty()) min = 0;
  const double range = max - min;
  const int baseline = rect.bottom() + 1 - 2 * textH;
  const int plotTop = rect.top() + 2 * titleH + 2 * textH;
  const int plotH = std::max(1, baseline - plotTop);
  const int steps = std::max(1, (plotH - textH / 2) / textH);
  const double step = range / steps;
  const QString maxLabel = QString::fromStdString(FormatNumber(max, 2));
  const int labelW = am.horizontalAdvance(maxLabel);
  const int axisX = rect.left() + labelW * 3 / 2 + margin;
  const int plotRight = rect.right() + 1 - labelW / 2 - 10;
  const int plotW = std::max(1, plotRight - axisX);

  p.setFont(axisFont);
  p.setPen(QPen(Qt::black, 1));
  // Value axis, grid and labels.
  p.drawLine(axisX, baseline, axisX, baseline - plotH);
  for (int k = 0; k <= steps; ++k) {
    const int y = baseline - k * textH;
    if (y < plotTop - textH) break;
    p.setPen(QPen(QColor(200, 200, 200), 1));
    if (k > 0) p.drawLine(axisX, y, plotRight, y);
    p.setPen(QPen(Qt::black, 1));
    const QString label = QString::fromStdString(FormatNumber(min + k * step, 2));
    p.drawText(QRect(rect.left(), y - textH / 2, axisX - rect.left() - 3, textH), Qt::AlignRight | Qt::AlignVCenter,
               label);
  }
  p.drawLine(axisX, baseline, plotRight, baseline);

  // Points.
  const int shown = static_cast<int>(values.size());
  const double dx = shown > 1 ? static_cast<double>(plotW) / (shown - 1) : 0;
  const double scale = range > 0 ? (plotH - textH / 2.0) / range : 0;
  auto yOf = [&](double v) { return static_cast<int>(baseline - (v - min) * scale); };
  g.xs.resize(static_cast<size_t>(shown));
  g.ys.resize(static_cast<size_t>(shown));
  QPolygon line(shown);
  for (int i = 0; i < shown; ++i) {
    const int x = axisX + static_cast<int>(i * dx);
    g.xs[static_cast<size_t>(i)] = x;
    g.ys[static_cast<size_t>(i)] = yOf(values[static_cast<size_t>(i)]);
    line.setPoint(i, x, g.ys[static_cast<size_t>(i)]);
  }

  // Date labels under the baseline, at evenly spaced points.
  const int dateW = am.horizontalAdvance(QStringLiteral("00.00.0000"));
  int labels = plotW / (dateW + gap);
  if (shown < labels) labels = shown;
  for (int k = 0; k < labels && shown > 0; ++k) {
    const int i = labels == 1 ? 0 : static_cast<int>(static_cast<long long>(k) * (shown - 1) / (labels - 1));
    const QString date = QString::fromStdString(in.series[2 * static_cast<size_t>(first + i)]);
    const int x = g.xs[static_cast<size_t>(i)];
    const int w = am.horizontalAdvance(date);
    const int left = std::clamp(x - w / 2, rect.left(), rect.right() - w);
    p.drawLine(x, baseline, x, baseline + 3);
    p.drawText(QRect(left, baseline + 4, w + 2, textH), Qt::AlignLeft | Qt::AlignTop, date);
  }

  p.setRenderHint(QPainter::Antialiasing, false);
  if (shown > 0) {
    p.setPen(QPen(Qt::black, 1));
    p.drawPolyline(line);
  }

  // Moving averages of the W prices before a point (its own not counted).
  if ((in.kind == kLongTermKind || in.kind == kDailyKind) && n > 0) {
    std::vector<double> prefix(static_cast<size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i)
      prefix[static_cast<size_t>(i) + 1] =
          prefix[static_cast<size_t>(i)] + ParseNumber(in.series[2 * static_cast<size_t>(i) + 1]);
    for (const auto& [w, color] : {std::pair{200, QColor(0, 160, 0)}, std::pair{38, QColor(0, 0, 255)}}) {
      QPolygon avg;
      for (int i = std::max(first, w + 1); i < last; ++i) {
        const double a = (prefix[static_cast<size_t>(i)] - prefix[static_cast<size_t>(i - w)]) / w;
        const int y = yOf(a);
        if (y < baseline) avg << QPoint(g.xs[static_cast<size_t>(i - first)], y);
      }
      if (!avg.isEmpty()) {
        p.setPen(QPen(color, 1));
        p.drawPolyline(avg);
      }
    }
  }

  // Title, centred, just below the top.
  p.setFont(titleFont);
  p.setPen(Qt::black);
  p.drawText(QRect(rect.left(), rect.top() + (in.printing ? 56 : 1), rect.width(), titleH),
             Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(ChartTitle(in)));
  p.restore();

  g.plotLeft = axisX;
  g.plotTop = baseline - plotH;
  g.plotRight = plotRight;
  g.baseline = baseline;
  g.lowest = min;
  g.range = range;
  g.step = step;
  g.steps = steps;
  g.firstShown = first;
  g.valid = true;
  return g;
}

}  // namespace tellurio
