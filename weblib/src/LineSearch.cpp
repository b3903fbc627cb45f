#include "LineSearch.h"

#include "Text.h"

namespace marabu {

std::optional<TextPos> Lines::Find(TextPos from, std::string_view needle) const {
  size_t column = from.column;
  for (size_t line = from.line; line < lines_.size(); ++line, column = 0) {
    const std::string& text = lines_[line];
    if (column > text.size()) continue;
    const size_t hit = text.find(needle, column);
    if (hit != std::string::npos) return TextPos{line, hit};
  }
  return std::nullopt;
}

std::optional<size_t> Lines::FindLine(size_t from, std::string_view needle) const {
  for (size_t line = from; line < lines_.size(); ++line)
    if (Contains(lines_[line], needle)) return line;
  return std::nullopt;
}

std::optional<Extracted> ExtractBetween(const Lines& lines, TextPos start, std::string_view anchor,
                                        std::string_view opening, std::string_view closing) {
  const std::optional<TextPos> anchorAt = lines.Find(start, anchor);
  if (!anchorAt) return std::nullopt;

  size_t line = anchorAt->line;
  size_t open = lines[line].find(opening, anchorAt->column + anchor.size());
  if (open == std::string::npos) {
    if (!lines.valid(++line)) return std::nullopt;
    open = lines[line].find(opening, 0);
    if (open == std::string::npos) return std::nullopt;
  }

  const size_t textBegin = open + opening.size();
  const size_t close = lines[line].find(closing, textBegin);
  if (close != std::string::npos)
    return Extracted{TrimBlanks(Slice(lines[line], textBegin, close)), TextPos{line, close + closing.size()}};

  // The value continues on the next line: the rest of the opening line and
  // the next line up to the closing text, with a blank for the line break.
  // (Counting the next line from the opening text's length instead would cut
  // the first characters off a value that starts a line.)
  const std::string_view rest = Slice(lines[line], textBegin, lines[line].size());
  if (!lines.valid(++line)) return std::nullopt;
  const size_t nextClose = lines[line].find(closing, 0);
  if (nextClose == std::string::npos) return std::nullopt;
  std::string text(rest);
  if (!text.empty()) text += ' ';
  text += Slice(lines[line], 0, nextClose);
  return Extracted{TrimBlanks(text), TextPos{line, nextClose + closing.size()}};
}

}  // namespace marabu
