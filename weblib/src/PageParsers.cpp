#include "PageParsers.h"

#include <algorithm>
#include <string_view>

#include "LineSearch.h"
#include "Text.h"
#include "calendar/NumberText.h"
#include "platform/Codec1252.h"

namespace marabu {

const std::array<std::string_view, 9> kPortraitLabels = {
    "WKN:", "Anlage:",           "Management:",        "KAG:",   "Vol. in Mio. EUR",
    "Kurs", "Ausgabeaufschlag:", "Fondsw&auml;hrung:", "Rating:"};

namespace {

using Fields = std::vector<std::string>;

bool Before(TextPos a, TextPos b) { return a.line < b.line || (a.line == b.line && a.column < b.column); }

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string OrDefault(std::string text, const char* whenEmpty) { return text.empty() ? std::string(whenEmpty) : text; }

// --- Vendor price table -----------------------------------------------------

void ParseVendorTable(const Lines& lines, size_t firstLine, const ParseContext& context, Fields& out) {
  TextPos at{firstLine, 0};
  while (const std::optional<TextPos> row = lines.Find(at, "TABELLE STANDARDZEILE")) {
    const std::optional<Extracted> first = ExtractBetween(lines, *row, "tblrow", ">", "&");
    if (!first) return;
    const std::optional<Extracted> second = ExtractBetween(lines, first->end, "navi", ">", "<");
    if (!second) return;
    at = second->end;
    Fields cells;
    while (cells.size() < 4) {
      std::optional<Extracted> cell = ExtractBetween(lines, at, "center", ">", "<");
      if (!cell) return;
      at = cell->end;
      if (!cell->text.empty()) cells.push_back(std::move(cell->text));
    }
    out.push_back(second->text);
    out.push_back(first->text);
    out.push_back(RatioText(cells[3], cells[1]));
    out.push_back(cells[0]);
    out.push_back(context.today);
    out.push_back(cells[3]);
  }
}

// --- Provider price table A -------------------------------------------------

// The text between the ">" after "align=" and stop, on one line.
std::string AfterAlign(std::string_view line, std::string_view stop) {
  const size_t align = line.find("align=");
  const size_t gt = line.find('>', align + 6);
  if (gt == std::string_view::npos) return {};
  return std::string(UpTo(line, gt + 1, stop));
}

void ParseProviderTableA(const Lines& lines, Fields& out) {
  static constexpr std::string_view kDateMarker = "Letzte Aktualisierung:";
  const std::optional<size_t> dateLine = lines.FindLine(0, kDateMarker);
  if (!dateLine) return;
  const std::string& dateText = lines[*dateLine];
  const std::string date(LastCharacters(UpTo(dateText, dateText.find(kDateMarker) + kDateMarker.size(), "<"), 10));

  size_t line = *dateLine + 1;
  while (lines.valid(line) && !Contains(lines[line], "/table")) {
    if (!Contains(lines[line], "<td class=tab4>&nbsp;</td>") && !Contains(lines[line], "<td class=tab7>&nbsp;</td>")) {
      ++line;
      continue;
    }
    const size_t nameLine = line + 1;
    if (!lines.valid(nameLine)) return;
    const std::string& nameText = lines[nameLine];
    const size_t gt = nameText.find('>');
    const std::string name = gt == std::string::npos ? std::string() : TrimTrailingBlanks(UpTo(nameText, gt + 1, "<"));

    const std::optional<size_t> secondLine = lines.FindLine(nameLine + 1, "align=");
    if (!secondLine) return;
    const std::optional<size_t> issueLine = lines.FindLine(*secondLine + 1, "align=");
    if (!issueLine) return;
    const std::optional<size_t> priceLine = lines.FindLine(*issueLine + 1, "align=");
    if (!priceLine) return;
    const std::string issue = AfterAlign(lines[*issueLine], "&nbsp");
    const std::string price = AfterAlign(lines[*priceLine], "&nbsp");

    out.push_back(name);
    out.push_back(AfterAlign(lines[*secondLine], "<"));
    out.push_back(RatioText(issue, price));
    out.push_back("Euro");
    out.push_back(date);
    out.push_back(price);
    line = *priceLine + 1;
  }
}

// --- Provider price table B -------------------------------------------------

struct RowStart {
  size_t line = 0;
  size_t marker = 0;     // column where the row marker starts
  size_t nameBegin = 0;  // column where the name starts
  std::string_view stop;
};

std::optional<RowStart> FindRowStartB(const Lines& lines, TextPos from) {
  for (size_t line = from.line; lines.valid(line); ++line) {
    const std::string& text = lines[line];
    const size_t column = line == from.line ? from.column : 0;
    if (column > text.size()) continue;
    if (size_t at = text.find("<br>", column); at != std::string::npos) return RowStart{line, at, at + 5, "<br>"};
    if (size_t at = text.find("<td nowrap>", column); at != std::string::npos)
      return RowStart{line, at, at + 11, "</td>"};
    if (column == 0 && StartsWith(text, "nowrap>") && line > 0 && EndsWith(lines[line - 1], "td"))
      return RowStart{line, 0, 7, "</td>"};
  }
  return std::nullopt;
}

void ParseProviderTableB(const Lines& lines, size_t firstLine, const ParseContext& context, Fields& out) {
  TextPos at{firstLine, 0};
  while (const std::optional<RowStart> row = FindRowStartB(lines, at)) {
    size_t nameLine = row->line;
    size_t nameBegin = row->nameBegin;
    // A marker that ends its line: the name is the whole next line.
    if (lines[row->line].size() == row->marker + 4) {
      if (!lines.valid(++nameLine)) return;
      nameBegin = 0;
    }
    const std::string& nameText = lines[nameLine];
    const std::string_view name = UpTo(nameText, nameBegin, row->stop);
    size_t nameEnd = nameBegin + name.size();
    if (nameText.compare(std::min(nameEnd, nameText.size()), row->stop.size(), row->stop) == 0)
      nameEnd += row->stop.size();

    TextPos cellAt{nameLine, nameEnd};
    Fields cells;
    while (cells.size() < 6) {
      std::optional<Extracted> cell = ExtractBetween(lines, cellAt, "<td>", "", "</td>");
      if (!cell) return;
      cellAt = cell->end;
      cells.push_back(std::move(cell->text));
    }
    out.push_back(TrimBlanks(name));
    out.push_back(cells[0]);
    out.push_back(RatioText(cells[2], cells[3]));
    out.push_back(cells[1]);
    out.push_back(tellurio::Utf8Left(cells[5], 6) + std::to_string(context.year));
    out.push_back(cells[3]);
    at = cellAt;
  }
}

// --- Index value ------------------------------------------------------------

// Whether the text starts (after white space and a sign) with digits that are
// not all zero, as a leading-digits integer reading would see it.
bool ReadsAsNonZeroInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool nonZero = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if (text[i] != '0') nonZero = true;
  return nonZero;
}

std::string ParseIndexValue(const Lines& lines, Fields& out) {
  const std::optional<size_t> daxLine = lines.FindLine(0, "DAX");
  if (!daxLine) return {};
  std::optional<size_t> valueLine;
  if (StartsWith(lines[*daxLine], "DAX")) {
    for (size_t line = *daxLine + 1; lines.valid(line) && !valueLine; ++line)
      if (ReadsAsNonZeroInteger(lines[line])) valueLine = line;
  } else if (lines.valid(*daxLine + 1)) {
    valueLine = *daxLine + 1;
  }
  if (!valueLine) return {};
  out.push_back(lines[*valueLine]);
  return lines[*valueLine];
}

// --- Fund portrait ----------------------------------------------------------

// The text after the next ">" behind "CLASS=" at classAt, up to "<" or the
// end of that line; at moves behind the text.
std::string ClassValue(const Lines& lines, TextPos classAt, TextPos& at) {
  const std::string& text = lines[classAt.line];
  const size_t gt = text.find('>', classAt.column + 6);
  if (gt == std::string::npos) {
    at = TextPos{classAt.line, classAt.column + 6};
    return {};
  }
  const std::string_view value = UpTo(text, gt + 1, "<");
  at = TextPos{classAt.line, gt + 1 + value.size()};
  return std::string(value);
}

// Finds `label` from at, then "CLASS=" behind it; nothing when either is
// missing.
std::optional<std::string> LabelledValue(const Lines& lines, std::string_view label, TextPos& at) {
  const std::optional<TextPos> labelAt = lines.Find(at, label);
  if (!labelAt) return std::nullopt;
  const std::optional<TextPos> classAt = lines.Find(TextPos{labelAt->line, labelAt->column + label.size()}, "CLASS=");
  if (!classAt) return std::nullopt;
  return ClassValue(lines, *classAt, at);
}

// The ">&nbsp" text of one line: from 7 characters after its start up to "<".
std::string NbspText(std::string_view line, size_t nbsp) { return std::string(UpTo(line, nbsp + 7, "<")); }

void ParsePortraitPositions(const Lines& lines, TextPos at, Fields& out) {
  static constexpr std::string_view kMarker = "Positionen im Fonds";
  const std::optional<TextPos> marker = lines.Find(at, kMarker);
  if (!marker) return;
  const std::optional<TextPos> colspan = lines.Find(TextPos{marker->line, marker->column + kMarker.size()}, "colspan=");
  if (!colspan) return;
  const std::optional<TextPos> open = lines.Find(TextPos{colspan->line, colspan->column + 8}, "<");
  if (!open) return;
  if (Slice(lines[open->line], open->column + 1, open->column + 4) != "TAB") {
    out.push_back("Keine Angaben");
    return;
  }
  TextPos cellAt{open->line, open->column + 1};
  const std::optional<TextPos> tableEnd = lines.Find(cellAt, "/TABLE");
  while (const std::optional<TextPos> classAt = lines.Find(cellAt, "CLASS=")) {
    if (tableEnd && !Before(*classAt, *tableEnd)) return;
    out.push_back(OrDefault(TrimBlanks(ClassValue(lines, *classAt, cellAt)), "keine Angaben"));
  }
}

void ParseFundPortrait(const Lines& lines, Fields& out) {
  static constexpr std::string_view kTitle = "Fonds Portrait";
  const std::optional<size_t> titleLine = lines.FindLine(0, kTitle);
  if (!titleLine) return;
  TextPos at{*titleLine, lines[*titleLine].find(kTitle) + kTitle.size()};

  const std::optional<TextPos> nameAt = lines.Find(at, ">&nbsp");
  if (!nameAt) return;
  out.push_back(NbspText(lines[nameAt->line], nameAt->column));
  const std::optional<size_t> secondLine = lines.FindLine(nameAt->line + 1, ">&nbsp");
  if (!secondLine) return;
  const std::string& secondText = lines[*secondLine];
  const size_t secondNbsp = secondText.find(">&nbsp");
  const std::string second = NbspText(secondText, secondNbsp);
  out.push_back(OrDefault(second, "keine Angaben"));
  at = TextPos{*secondLine, secondNbsp + 7 + second.size()};

  for (std::string_view label : kPortraitLabels) {
    std::optional<std::string> value = LabelledValue(lines, label, at);
    if (!value) return;
    out.push_back(OrDefault(TrimBlanks(*value), "keine Angaben"));
  }

  std::optional<std::string> strategy = LabelledValue(lines, "Strategie", at);
  if (!strategy) return;
  out.push_back(OrDefault(std::move(*strategy), "keine Angaben"));

  const std::optional<TextPos> fonds = lines.Find(at, "Fonds");
  if (!fonds) return;
  at = TextPos{fonds->line, fonds->column + 5};
  for (int i = 0; i < 15; ++i) {
    const std::optional<TextPos> classAt = lines.Find(at, "CLASS=");
    if (!classAt) return;
    const std::string& text = lines[classAt->line];
    const size_t gt = text.find('>', classAt->column + 6);
    std::string value;
    if (gt != std::string::npos && gt + 1 == text.size()) {
      // The value stands at the start of the next line.
      if (!lines.valid(classAt->line + 1)) return;
      const std::string& next = lines[classAt->line + 1];
      value = std::string(UpTo(next, 0, "<"));
      at = TextPos{classAt->line + 1, value.size()};
    } else {
      value = ClassValue(lines, *classAt, at);
    }
    out.push_back(OrDefault(TrimBlanks(value), "k.A."));
  }

  ParsePortraitPositions(lines, at, out);
}

// --- Performance and competitor chart data ----------------------------------

void AppendItems(std::string_view part, Fields& out) {
  size_t begin = 0;
  while (true) {
    const size_t comma = part.find(',', begin);
    if (comma == std::string_view::npos) {
      out.emplace_back(part.substr(begin));
      return;
    }
    out.emplace_back(part.substr(begin, comma - begin));
    begin = comma + 1;
  }
}

void ParseChartData(const Lines& lines, int parts, Fields& out) {
  const std::optional<size_t> line = lines.FindLine(0, ",");
  if (!line) return;
  const std::string& text = lines[*line];
  std::string_view rest = std::string_view(text).substr(text.find(',') + 1);
  for (int part = 1; part <= parts; ++part) {
    const size_t semicolon = part < parts ? rest.find(';') : std::string_view::npos;
    AppendItems(rest.substr(0, semicolon), out);
    if (semicolon == std::string_view::npos) break;
    rest = rest.substr(semicolon + 1);
  }
  std::string& last = out.back();
  last.erase(std::min(last.find(')'), last.size()));
}

}  // namespace

std::string RatioText(std::string_view dividend, std::string_view divisor) {
  const double d = tellurio::ParseNumber(divisor);
  if (d == 0) return "1,0000";
  return tellurio::FormatNumber(tellurio::ParseNumber(dividend) / d, 4);
}

Recognition RecognisePage(const std::vector<std::string>& lines, std::string_view vendorMarker) {
  struct Marker {
    std::string_view text;
    PageKind kind;
  };
  const std::array<Marker, 7> markers = {{
      {vendorMarker, PageKind::VendorPriceTable},
      {"FrankenInvest", PageKind::ProviderPriceTableA},
      {"Deka", PageKind::ProviderPriceTableB},
      {"DAX", PageKind::IndexValue},
      {"Fondportrait", PageKind::FundPortrait},
      {"Wertentwicklung", PageKind::PerformanceData},
      {"Konkurenz", PageKind::CompetitorData},
  }};
  for (size_t line = 0; line < lines.size(); ++line) {
    for (const Marker& marker : markers) {
      if (marker.text.empty()) continue;
      if (Contains(lines[line], marker.text)) return Recognition{marker.kind, line};
    }
  }
  return {};
}

std::string HtmlToText(const std::vector<std::string>& in, std::vector<std::string>& out, const ParseContext& context) {
  out.clear();
  const Recognition page = RecognisePage(in, context.vendorMarker);
  const Lines lines(in);
  switch (page.kind) {
    case PageKind::None:
      return {};
    case PageKind::IndexValue:
      return ParseIndexValue(lines, out);
    case PageKind::VendorPriceTable:
      ParseVendorTable(lines, page.line, context, out);
      break;
    case PageKind::ProviderPriceTableA:
      ParseProviderTableA(lines, out);
      break;
    case PageKind::ProviderPriceTableB:
      ParseProviderTableB(lines, page.line, context, out);
      break;
    case PageKind::FundPortrait:
      ParseFundPortrait(lines, out);
      break;
    case PageKind::PerformanceData:
      ParseChartData(lines, 2, out);
      break;
    case PageKind::CompetitorData:
      ParseChartData(lines, 3, out);
      break;
  }
  if (out.size() >= 5) return out[4];
  if (page.kind == PageKind::VendorPriceTable) return context.today;
  return {};
}

std::optional<std::string> DaxValue(const std::vector<std::string>& lines) {
  const Lines all(lines);
  const std::optional<size_t> marker = all.FindLine(0, "ak_dax_stand");
  if (!marker || !all.valid(*marker + 1)) return std::nullopt;
  const std::string& value = lines[*marker + 1];
  const size_t lt = value.find('<');
  return lt == std::string::npos ? std::string() : value.substr(0, lt);
}

}  // namespace marabu
