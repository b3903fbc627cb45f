#pragma once
// The lines of the fund rankings of panes 2 and 3 as the lists show them:
// the fund name (cut to 20 characters), the change and the percent, padded
// with blanks so that the columns line up in the list's font.
//
// Widths are those of QFontMetrics::horizontalAdvance.  TextWidths measures
// each character and each pair of neighbouring characters once per font
// (the advance of a character and the kerning of a pair) and adds them up
// for a text, instead of laying out every line: the fund list of thousands
// of funds is built in a fraction of a millisecond.

#include <QFont>
#include <QFontMetricsF>
#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "analysis/Statistics.h"

namespace tellurio {

// The widths of texts in one font.  User-interface thread only.
class TextWidths {
 public:
  explicit TextWidths(const QFont& font);
  // The width of a UTF-8 text in whole pixels, as horizontalAdvance gives it.
  int Width(const std::string& text);
  // The width before rounding, as the font engine adds it up (1/64 pixel).
  qreal ExactWidth(const std::string& text) { return Exact(text); }
  // The fewest blanks to add after (or before) text so that its width
  // reaches at least target - 2, at most `limit`: what adding one blank after
  // the other and measuring each time finds.
  int BlanksAfterToReach(const std::string& text, int target, int limit);
  int BlanksBeforeToReach(const std::string& text, int target, int limit);

  // The widths of a font, kept for the life of the program.
  static TextWidths& For(const QFont& font);

 private:
  // The exact width (in the 1/64 pixels the font engine adds up) of the
  // code points; first and last receive the first and last code point.
  qreal Exact(const std::string& text, char32_t* first = nullptr, char32_t* last = nullptr);
  qreal Advance(char32_t c);
  qreal Kerning(char32_t a, char32_t b);
  qreal Measure(const std::u32string& text) const;
  int Blanks(qreal exact, char32_t edge, bool empty, bool after, int target, int limit);

  QFontMetricsF metrics_;
  std::array<qreal, 256> advance_;                  // NaN until measured
  std::vector<qreal> kerning_;                      // 256 x 256, NaN until measured
  std::unordered_map<char32_t, qreal> advanceFar_;  // code points from 256 on
  std::unordered_map<uint64_t, qreal> kerningFar_;
};

struct RankingText {
  std::string shown;  // the line as the list shows it
  std::string line;   // name, " \t", change, "\t", percent: what the fund commands read
};

std::vector<RankingText> RankingTexts(const std::vector<RankingLine>& ranking, TextWidths& widths);

}  // namespace tellurio
