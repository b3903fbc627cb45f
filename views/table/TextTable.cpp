#include "views/table/TextTable.h"

#include <algorithm>

namespace tellurio {

const std::string& TableLine::At(size_t column) const {
  static const std::string empty;
  return column < cells.size() ? cells[column] : empty;
}

bool TextTable::HasHeaderRow() const {
  return std::any_of(columns.begin(), columns.end(), [](const TableColumn& c) { return !c.header.empty(); });
}

bool TextTable::StartsBlock(size_t line) const {
  if (groupColumn < 0 || line == 0 || line >= lines.size()) return false;
  const TableLine& l = lines[line];
  return l.kind == LineKind::Row && !l.At(static_cast<size_t>(groupColumn)).empty();
}

size_t TextTable::RowCount() const {
  return static_cast<size_t>(
      std::count_if(lines.begin(), lines.end(), [](const TableLine& l) { return l.kind == LineKind::Row; }));
}

}  // namespace tellurio
