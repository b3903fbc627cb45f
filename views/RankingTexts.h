#pragma once
// The lines of the fund rankings of panes 2 and 3 as the lists show them:
// the fund name (cut to 20 characters), the change and the percent, padded
// with blanks so that the columns line up in the list's font.
//
// Widths are those of QFontMetrics::horizontalAdvance, added up by
// TextWidths (views/chart/qt/TextWidths.h).

#include <string>
#include <vector>

#include "analysis/Statistics.h"
#include "views/chart/qt/TextWidths.h"

namespace tellurio {

struct RankingText {
  std::string shown;  // the line as the list shows it
  std::string line;   // name, " \t", change, "\t", percent: what the fund commands read
};

std::vector<RankingText> RankingTexts(const std::vector<RankingLine>& ranking, TextWidths& widths);

}  // namespace tellurio
