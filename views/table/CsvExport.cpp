#include "views/table/CsvExport.h"

#include <optional>

#include "storage/ListFile.h"

namespace tellurio {

namespace {

// "-12,34", "0,5", "847451": digits with at most one decimal comma and an
// optional leading minus.
bool IsNumber(std::string_view t) {
  size_t i = 0;
  if (i < t.size() && t[i] == '-') ++i;
  size_t digits = 0;
  bool comma = false;
  for (; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9') {
      ++digits;
    } else if (t[i] == ',' && !comma && digits > 0) {
      comma = true;
    } else {
      return false;
    }
  }
  return digits > 0 && t.back() != ',';
}

struct NumberWithUnit {
  std::string number, unit;
};

// "12,34 %" -> ("12,34", "%"); nothing when the text is not a number
// followed by one blank and a unit.
std::optional<NumberWithUnit> SplitUnit(const std::string& t) {
  const size_t blank = t.find(' ');
  if (blank == std::string::npos || blank + 1 >= t.size()) return std::nullopt;
  const std::string_view number(t.data(), blank);
  const std::string_view unit(t.data() + blank + 1, t.size() - blank - 1);
  if (!IsNumber(number) || unit.find_first_of("0123456789 ") != std::string_view::npos) return std::nullopt;
  return NumberWithUnit{std::string(number), std::string(unit)};
}

std::string Trimmed(const std::string& t) {
  const size_t a = t.find_first_not_of(' ');
  if (a == std::string::npos) return std::string();
  return t.substr(a, t.find_last_not_of(' ') - a + 1);
}

std::string Field(const std::string& raw) {
  std::string t = raw;
  if (!t.empty() && (t[0] == '=' || t[0] == '+' || t[0] == '@' || (t[0] == '-' && !IsNumber(t)))) t.insert(0, "'");
  if (t.find_first_of(";\"\r\n") == std::string::npos) return t;
  std::string q = "\"";
  for (char c : t) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

// How a column is written.
struct ColumnPlan {
  enum class Kind { Plain, UnitInHeader, UnitColumn } kind = Kind::Plain;
  std::string unit;  // UnitInHeader
};

ColumnPlan PlanColumn(const TextTable& t, size_t c) {
  ColumnPlan plan;
  // Left-aligned columns hold names and labels ("2000 Plus" is a fund, not
  // 2000 of a unit "Plus"); only figures are split from their units.
  if (t.columns[c].align == CellAlign::Left) return plan;
  bool anySplit = false, allSplit = true, oneUnit = true;
  std::string unit;
  for (const TableLine& l : t.lines) {
    if (l.kind != LineKind::Row) continue;
    const std::string cell = Trimmed(l.At(c));
    if (cell.empty()) continue;
    const std::optional<NumberWithUnit> s = SplitUnit(cell);
    if (!s) {
      allSplit = false;
      continue;
    }
    if (anySplit && s->unit != unit) oneUnit = false;
    unit = s->unit;
    anySplit = true;
  }
  if (!anySplit) return plan;
  if (allSplit && oneUnit) {
    plan.kind = ColumnPlan::Kind::UnitInHeader;
    plan.unit = unit;
  } else {
    plan.kind = ColumnPlan::Kind::UnitColumn;
  }
  return plan;
}

}  // namespace

std::string CsvText(const TextTable& t) {
  const size_t columns = t.columns.size();
  std::vector<ColumnPlan> plans;
  for (size_t c = 0; c < columns; ++c) plans.push_back(PlanColumn(t, c));
  std::string out = "\xEF\xBB\xBF";
  const bool headers = t.HasHeaderRow();
  // Without column headers, the first header line names the columns.
  const TableLine* headerLine = nullptr;
  for (const TableLine& l : t.lines)
    if (!headerLine && l.kind == LineKind::Header) headerLine = &l;
  for (size_t c = 0; c < columns; ++c) {
    std::string h = Trimmed(t.columns[c].header);
    if (!headers && headerLine) h = Trimmed(headerLine->At(c));
    if (!headers && !headerLine) h = c == 0 ? "Bezeichnung" : columns == 2 ? "Wert" : "Wert " + std::to_string(c);
    if (plans[c].kind == ColumnPlan::Kind::UnitInHeader) h += " (" + plans[c].unit + ")";
    out += (c ? ";" : "") + Field(h);
    if (plans[c].kind == ColumnPlan::Kind::UnitColumn) out += ";Einheit";
  }
  out += "\r\n";
  for (const TableLine& l : t.lines) {
    if (l.kind != LineKind::Row) continue;
    for (size_t c = 0; c < columns; ++c) {
      if (c) out += ';';
      const std::string cell = Trimmed(l.At(c));
      const std::optional<NumberWithUnit> s = plans[c].kind == ColumnPlan::Kind::Plain ? std::nullopt : SplitUnit(cell);
      out += Field(s ? s->number : cell);
      if (plans[c].kind == ColumnPlan::Kind::UnitColumn) out += ";" + Field(s ? s->unit : std::string());
    }
    out += "\r\n";
  }
  // Text lines of the form "label: value" (the results of a report, the
  // holding below a transaction list) follow after an empty record, as
  // label, value and unit.
  bool first = true;
  for (const TableLine& l : t.lines) {
    if (l.kind != LineKind::Text) continue;
    const std::string& text = l.At(0);
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0) continue;
    if (first) out += "\r\n";
    first = false;
    const std::string value = Trimmed(text.substr(colon + 1));
    const std::optional<NumberWithUnit> s = SplitUnit(value);
    out += Field(Trimmed(text.substr(0, colon))) + ";" + Field(s ? s->number : value) + ";" +
           Field(s ? s->unit : std::string()) + "\r\n";
  }
  return out;
}

Status WriteCsvFile(const std::filesystem::path& path, const TextTable& table) {
  return WriteFileAtomically(path, CsvText(table));
}

std::string CsvFileName(const TextTable& table) { return FileNameFor(table.title, ".csv"); }

std::string FileNameFor(const std::string& title, const std::string& extension) {
  std::string name;
  for (char c : title)
    name += (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
             c == '|' || static_cast<unsigned char>(c) < 32)
                ? '_'
                : c;
  // A file system holds at most 255 bytes in one name, and the file is
  // written under a temporary name some 25 bytes longer first: a longer
  // title (a fund with a very long name) is cut at the start of a UTF-8
  // character, so that name and extension have at most 200 bytes.
  constexpr size_t kMaxNameBytes = 200;
  const size_t room = kMaxNameBytes > extension.size() ? kMaxNameBytes - extension.size() : 0;
  if (name.size() > room) {
    size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  name = Trimmed(name);
  if (name.empty() || name == "." || name == "..") name = "Tabelle";
  return name + extension;
}

}  // namespace tellurio
