#include "views/RankingTexts.h"

#include <algorithm>

#include "platform/Codec1252.h"

namespace tellurio {

std::vector<RankingText> RankingTexts(const std::vector<RankingLine>& ranking, TextWidths& widths) {
  // Every name and change is measured once: its width sets the columns and
  // then tells the blanks it needs.
  struct Measured {
    std::string name;
    qreal nameWidth = 0, changeWidth = 0;
    char32_t nameLast = 0, changeFirst = 0;
  };
  std::vector<Measured> m(ranking.size());
  int nameW = 0, changeW = 0;
  for (size_t i = 0; i < ranking.size(); ++i) {
    Measured& x = m[i];
    x.name = Utf8Left(ranking[i].fund, 20);
    x.nameWidth = widths.ExactWidth(x.name, nullptr, &x.nameLast);
    x.changeWidth = widths.ExactWidth(ranking[i].changeText, &x.changeFirst, nullptr);
    nameW = std::max(nameW, TextWidths::Rounded(x.nameWidth));
    changeW = std::max(changeW, TextWidths::Rounded(x.changeWidth));
  }
  const int nameTarget = nameW + widths.Width("    ");
  std::vector<RankingText> out;
  out.reserve(ranking.size());
  for (size_t i = 0; i < ranking.size(); ++i) {
    const RankingLine& r = ranking[i];
    const Measured& x = m[i];
    const std::string& name = x.name;
    const int lead = widths.BlanksToReach(x.changeWidth, x.changeFirst, r.changeText.empty(), false, changeW, 100);
    const int tail = widths.BlanksToReach(x.nameWidth, x.nameLast, name.empty(), true, nameTarget, 1000);
    RankingText t;
    t.shown.reserve(name.size() + static_cast<size_t>(tail + lead) + r.changeText.size() + 4 + r.percentText.size());
    t.shown.append(name).append(static_cast<size_t>(tail), ' ');
    t.shown.append(static_cast<size_t>(lead), ' ').append(r.changeText).append("    ").append(r.percentText);
    t.line.reserve(name.size() + 3 + r.changeText.size() + r.percentText.size());
    t.line.append(name).append(" \t").append(r.changeText).append("\t").append(r.percentText);
    out.push_back(std::move(t));
  }
  return out;
}

}  // namespace tellurio
