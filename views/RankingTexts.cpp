#include "views/RankingTexts.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>

#include "platform/Codec1252.h"

namespace tellurio {

namespace {

constexpr qreal kUnknown = std::numeric_limits<qreal>::quiet_NaN();

// horizontalAdvance adds the advances of the glyphs in 1/64 pixel and
// rounds the sum half up to whole pixels.
int Rounded(qreal exact) { return static_cast<int>(std::floor(exact + 0.5)); }

}  // namespace

TextWidths::TextWidths(const QFont& font) : metrics_(font), kerning_(256 * 256, kUnknown) { advance_.fill(kUnknown); }

TextWidths& TextWidths::For(const QFont& font) {
  static std::map<QString, std::unique_ptr<TextWidths>> fonts;
  std::unique_ptr<TextWidths>& w = fonts[font.key()];
  if (!w) w = std::make_unique<TextWidths>(font);
  return *w;
}

qreal TextWidths::Measure(const std::u32string& text) const {
  return metrics_.horizontalAdvance(QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size())));
}

qreal TextWidths::Advance(char32_t c) {
  if (c < 256) {
    qreal& a = advance_[c];
    if (std::isnan(a)) a = Measure(std::u32string(1, c));
    return a;
  }
  auto [it, fresh] = advanceFar_.try_emplace(c, 0);
  if (fresh) it->second = Measure(std::u32string(1, c));
  return it->second;
}

qreal TextWidths::Kerning(char32_t a, char32_t b) {
  auto measure = [&] { return Measure(std::u32string{a, b}) - Advance(a) - Advance(b); };
  if (a < 256 && b < 256) {
    qreal& k = kerning_[a * 256 + b];
    if (std::isnan(k)) k = measure();
    return k;
  }
  auto [it, fresh] = kerningFar_.try_emplace((uint64_t{a} << 32) | b, 0);
  if (fresh) it->second = measure();
  return it->second;
}

qreal TextWidths::Exact(const std::string& text, char32_t* first, char32_t* last) {
  const QString q = QString::fromStdString(text);
  char32_t prev = 0;
  qreal w = 0;
  for (qsizetype i = 0; i < q.size(); ++i) {
    const char32_t c = q[i].unicode();
    if (q[i].isSurrogate()) {
      // Outside the basic plane a text is measured as a whole.
      const std::u32string all(q.toStdU32String());
      if (first) *first = all.front();
      if (last) *last = all.back();
      return Measure(all);
    }
    w += Advance(c);
    if (i > 0) w += Kerning(prev, c);
    prev = c;
  }
  if (first && !q.isEmpty()) *first = q.front().unicode();
  if (last) *last = prev;
  return w;
}

int TextWidths::Width(const std::string& text) { return Rounded(Exact(text)); }

int TextWidths::Blanks(qreal exact, char32_t edge, bool empty, bool after, int target, int limit) {
  // The width with k blanks: the text, the first blank with its kerning
  // against the text's edge, and every further blank with the kerning of two
  // blanks.
  const qreal blank = Advance(U' ');
  const qreal firstBlank = empty ? blank : blank + (after ? Kerning(edge, U' ') : Kerning(U' ', edge));
  const qreal step = blank + Kerning(U' ', U' ');
  auto width = [&](int k) { return k == 0 ? exact : exact + firstBlank + (k - 1) * step; };
  auto reached = [&](int k) { return Rounded(width(k)) >= target - 2; };
  int k = 0;
  if (step > 0) k = std::clamp(static_cast<int>((target - 2 - exact - firstBlank) / step), 0, limit);
  while (k > 0 && reached(k - 1)) --k;
  while (k < limit && !reached(k)) ++k;
  return k;
}

int TextWidths::BlanksAfterToReach(const std::string& text, int target, int limit) {
  char32_t last = 0;
  const qreal exact = Exact(text, nullptr, &last);
  return Blanks(exact, last, text.empty(), true, target, limit);
}

int TextWidths::BlanksBeforeToReach(const std::string& text, int target, int limit) {
  char32_t first = 0;
  const qreal exact = Exact(text, &first, nullptr);
  return Blanks(exact, first, text.empty(), false, target, limit);
}

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
