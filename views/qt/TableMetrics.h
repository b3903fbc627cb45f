#pragma once
// Measuring and placing the columns of a TextTable in a font, for the table
// pane and for printed pages.

#include <QFontMetricsF>
#include <QString>
#include <functional>
#include <vector>

#include "views/table/TextTable.h"

namespace tellurio {

// The width of the widest text of each column: its headers (also those of
// header lines) in `header`, its cells in `body` (rows only; captions and
// text lines span the table).
// Exact, but it measures only the texts that could be the widest: longer
// texts first, until no shorter one can beat the widest so far.
std::vector<double> WidestTexts(const TextTable& table, const QFontMetricsF& body, const QFontMetricsF& header);
// The same with other measures of a text; widestCharacter bounds the width
// of one character in the body measure.
using TextWidth = std::function<double(const QString&)>;
std::vector<double> WidestTexts(const TextTable& table, const TextWidth& body, const TextWidth& header,
                                double widestCharacter);

// The width a caption group needs beyond its columns is given to its last
// column; widths in, widths out.
void FitGroupCaptions(const TextTable& table, const QFontMetricsF& captionFont, double padding,
                      std::vector<double>& widths);

// The Qt alignment of a cell of that alignment: horizontally as it says,
// vertically centred.
Qt::Alignment AlignOf(CellAlign a);

}  // namespace tellurio
