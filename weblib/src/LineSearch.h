#pragma once
// Searching through the lines of a page.  A position is a line index and a
// byte column; a search never reads past the last line and reports "not
// found" instead, which ends the extraction of the current page kind.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marabu {

struct TextPos {
  size_t line = 0;
  size_t column = 0;
};

class Lines {
 public:
  explicit Lines(const std::vector<std::string>& lines) : lines_(lines) {}

  size_t count() const { return lines_.size(); }
  bool valid(size_t line) const { return line < lines_.size(); }
  const std::string& operator[](size_t line) const { return lines_[line]; }

  // The first occurrence of needle at or after from: in from's line from its
  // column on, then in each later line from column 0.
  std::optional<TextPos> Find(TextPos from, std::string_view needle) const;

  // The first line at or after from that holds needle.
  std::optional<size_t> FindLine(size_t from, std::string_view needle) const;

 private:
  const std::vector<std::string>& lines_;
};

struct Extracted {
  std::string text;  // trimmed of blanks at both ends
  TextPos end;       // just behind the closing text
};

// The extract-between step of the page parsers: the anchor is searched from
// start on (line after line until found); the opening text after the anchor,
// or else from column 0 of the next line; the closing text after the opening
// text, or else from column 0 of the next line.  The result is the text
// strictly between opening and closing text, without blanks at both ends;
// when the two stand on neighbouring lines, the rest of the first line and
// the start of the second are joined with one blank.  Nothing when a text
// is not found.
std::optional<Extracted> ExtractBetween(const Lines& lines, TextPos start, std::string_view anchor,
                                        std::string_view opening, std::string_view closing);

}  // namespace marabu
