#include "views/qt/TableMetrics.h"

#include <QString>
#include <algorithm>
#include <string>

namespace tellurio {

namespace {

size_t Utf8Characters(const std::string& s) {
  size_t n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

}  // namespace

std::vector<double> WidestTexts(const TextTable& t, const QFontMetricsF& body, const QFontMetricsF& header) {
  return WidestTexts(
      t, [&body](const QString& s) { return body.horizontalAdvance(s); },
      [&header](const QString& s) { return header.horizontalAdvance(s); }, body.maxWidth());
}

std::vector<double> WidestTexts(const TextTable& t, const TextWidth& body, const TextWidth& header,
                                double widestCharacter) {
  const size_t columns = t.columns.size();
  std::vector<double> widths(columns, 0);
  // No character is wider than this, so a text of n characters is at most
  // n * widest wide.
  const double widest = std::max(1.0, widestCharacter);
  std::vector<std::pair<size_t, const std::string*>> cells;
  for (size_t c = 0; c < columns; ++c) {
    widths[c] = header(QString::fromStdString(t.columns[c].header));
    for (const TableLine& l : t.lines)
      if (l.kind == LineKind::Header && c < l.cells.size())
        widths[c] = std::max(widths[c], header(QString::fromStdString(l.cells[c])));
    cells.clear();
    for (const TableLine& l : t.lines)
      if (l.kind == LineKind::Row && c < l.cells.size() && !l.cells[c].empty())
        cells.emplace_back(Utf8Characters(l.cells[c]), &l.cells[c]);
    std::stable_sort(cells.begin(), cells.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    double best = 0;
    for (const auto& [length, text] : cells) {
      if (static_cast<double>(length) * widest < best) break;
      best = std::max(best, body(QString::fromStdString(*text)));
    }
    widths[c] = std::max(widths[c], best);
  }
  return widths;
}

void FitGroupCaptions(const TextTable& t, const QFontMetricsF& captionFont, double padding,
                      std::vector<double>& widths) {
  for (const ColumnGroup& g : t.groups) {
    if (g.first > g.last || g.last >= widths.size()) continue;
    double span = 0;
    for (size_t c = g.first; c <= g.last; ++c) span += widths[c];
    const double need = captionFont.horizontalAdvance(QString::fromStdString(g.caption)) + 2 * padding;
    if (need > span) widths[g.last] += need - span;
  }
}

Qt::Alignment AlignOf(CellAlign a) {
  switch (a) {
    case CellAlign::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    case CellAlign::Center:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    case CellAlign::Left:
      break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace tellurio
