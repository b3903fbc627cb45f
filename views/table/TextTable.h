#pragma once
// TextTable: what the table pane shows, what a text page prints and what the
// CSV export writes.  A title, columns with their headers and alignment,
// captions over groups of columns, and the lines: rows of cells, captions
// and free text.  The fund tables, the transaction and price lists, the fund
// data sheet and the savings-plan report are all TextTables.

#include <cstddef>
#include <string>
#include <vector>

namespace tellurio {

// The print kinds; a table shown in the table pane keeps its kind.
namespace printkind {
inline constexpr int kReport = 0;        // savings-plan report, portrait
inline constexpr int kPriceChart = 1;    // long-term chart or a period, landscape
inline constexpr int kMonthlyChart = 2;  // derived chart, landscape
inline constexpr int kYearlyChart = 3;   // derived chart, landscape
inline constexpr int kTransactions = 4;  // "Umsätze", portrait
inline constexpr int kPrices = 5;        // "Kurse", portrait
inline constexpr int kFundData = 6;      // "Fonddaten", portrait
inline constexpr int kAllFunds = 13;     // table of all funds, landscape
inline constexpr int kDepotFunds = 16;   // table of the depot funds, landscape
}  // namespace printkind

enum class CellAlign { Left, Right, Center };

struct TableColumn {
  std::string header;  // may be empty (a column without a header)
  CellAlign align = CellAlign::Left;
};

// A caption over the columns first..last (inclusive).
struct ColumnGroup {
  std::string caption;
  size_t first = 0;
  size_t last = 0;
};

enum class LineKind {
  Row,      // one cell per column
  Header,   // one cell per column, drawn like the column headers
  Caption,  // one text over the whole width, emphasised
  Heading,  // one text, larger and underlined (report headings)
  Text,     // one text over the whole width
  Blank,    // an empty line
};

struct TableLine {
  LineKind kind = LineKind::Row;
  std::vector<std::string> cells;

  static TableLine Row(std::vector<std::string> cells) { return {LineKind::Row, std::move(cells)}; }
  static TableLine Header(std::vector<std::string> cells) { return {LineKind::Header, std::move(cells)}; }
  static TableLine Caption(std::string text) { return {LineKind::Caption, {std::move(text)}}; }
  static TableLine Heading(std::string text) { return {LineKind::Heading, {std::move(text)}}; }
  static TableLine Text(std::string text) { return {LineKind::Text, {std::move(text)}}; }
  static TableLine Blank() { return {LineKind::Blank, {}}; }
  // The cell at that column, or "" when the line has none there.
  const std::string& At(size_t column) const;
};

struct TextTable {
  int kind = printkind::kAllFunds;
  std::string title;
  std::vector<TableColumn> columns;
  std::vector<ColumnGroup> groups;
  std::vector<TableLine> lines;
  bool landscape = false;
  // The report prints in a serif font, everything else in the table font.
  bool serif = false;
  // A list of few narrow columns (the price list) may print its columns
  // several times side by side on a page.
  bool flowing = false;
  // The column whose value is shown only at the start of each run (depot or
  // company blocks), -1 for none; a block starts where it has a value.
  int groupColumn = -1;

  bool HasHeaderRow() const;
  size_t RowCount() const;  // lines of kind Row
  // Whether a new block starts at that line (not at the first line).
  bool StartsBlock(size_t line) const;
};

}  // namespace tellurio
