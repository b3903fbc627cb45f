#include "views/RankingTexts.h"

#include <algorithm>

#include "platform/Codec1252.h"

namespace tellurio {

std::vector<RankingText> RankingTexts(const std::vector<RankingLine>& ranking, TextWidths& widths) {
  int nameW = 0, changeW = 0;
  std::vector<std::string> names;
  names.reserve(ranking.size());
  for (const RankingLine& r : ranking) {
    names.push_back(Utf8Left(r.fund, 20));
    nameW = std::max(nameW, widths.Width(names.back()));
    changeW = std::max(changeW, widths.Width(r.changeText));
  }
  const int nameTarget = nameW + widths.Width("    ");
  std::vector<RankingText> out;
  out.reserve(ranking.size());
  for (size_t i = 0; i < ranking.size(); ++i) {
    const RankingLine& r = ranking[i];
    const std::string& name = names[i];
    const int lead = widths.BlanksBeforeToReach(r.changeText, changeW, 100);
    const int tail = widths.BlanksAfterToReach(name, nameTarget, 1000);
    RankingText t;
    t.shown.reserve(name.size() + static_cast<size_t>(tail + lead) + r.changeText.size() + 4 + r.percentText.size());
    t.shown.append(name).append(static_cast<size_t>(tail), ' ');
    t.shown.append(static_cast<size_t>(lead), ' ').append(r.changeText).append("    ").append(r.percentText);
    t.line = name + " \t" + r.changeText + "\t" + r.percentText;
    out.push_back(std::move(t));
  }
  return out;
}

}  // namespace tellurio
