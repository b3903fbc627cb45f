#include "views/table/FundTable.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "calendar/NumberText.h"

namespace tellurio {

namespace {

const char* const kAllFundsHeaders[allcol::kCount] = {
    "Fondgesellschaft", "Fondname",    "WKN",          "aktueller Kurs",    "3 Jahre",     "2 Jahre",    "1 Jahr",
    "1 Monat",          "Volatilität", "max. Verlust", "längst. Verlustp.", "Sharpe Rat.", "Treyn. Rat."};

const char* const kDepotFundsHeaders[depotcol::kCount] = {
    "Depotname",         "Gesellschaft", "Fondname",    "WKN",     "Bestand",     "Wert",
    "3 Jahre",           "2 Jahre",      "1 Jahr",      "1 Monat", "Volatilität", "max. Verlust",
    "längst. Verlustp.", "Sharpe-Rat.",  "Treyn.-Rat.", "Rendite"};

std::string Fixed2(double v) { return FormatNumber(v, 2); }
std::string Percent(double v) { return FormatNumber(v, 2) + " %"; }

// The cells of the figures both tables share, from "3 Jahre" to "Treyn. Rat.".
void AppendFigures(std::vector<std::string>& cells, const FundFacts& f, const FundStatistics& st) {
  cells.push_back(Percent(ChangeOver(st.yearlyAverages, 3)));
  cells.push_back(Percent(ChangeOver(st.yearlyAverages, 2)));
  cells.push_back(Percent(ChangeOver(st.yearlyAverages, 1)));
  cells.push_back(Percent(ChangeOver(st.monthlyAverages, 1)));
  cells.push_back(Fixed2(st.volatility));
  cells.push_back(Fixed2(st.maximumLoss) + " " + f.currency);
  cells.push_back(Fixed2(st.longestLossPeriod) + " Monate");
  cells.push_back(Fixed2(st.sharpeRatio));
  cells.push_back(Fixed2(st.treynorRatio));
}

// The numbers a sort compares, read once per row from the cells.
struct SortKeys {
  double primary = 0;
  double month = 0;
};

}  // namespace

std::string FundTableTitle(int kind, SortKind sort) {
  std::string title =
      kind == printkind::kAllFunds ? "Tabelle aller verfügbaren Fonds " : "Tabelle der Fonds der Depots ";
  switch (sort) {
    case SortKind::Alphabetical:
      return title + "alphapetisch geordnet";
    case SortKind::GainLowRisk:
      return title + "nach größtem Gewinn bei kleinsten Risiko geordnet";
    case SortKind::GainHighRisk:
      return title + "nach größtem Gewinn bei größten Risiko geordnet";
    case SortKind::Return:
      return title + "nach Rendite geordnet";
  }
  return title;
}

TextTable EmptyFundTable(int kind, SortKind sort) {
  TextTable t;
  t.kind = kind;
  t.title = FundTableTitle(kind, sort);
  t.landscape = true;
  const bool all = kind == printkind::kAllFunds;
  const size_t count = all ? allcol::kCount : depotcol::kCount;
  // Names, WKN and the grouping columns read from the left; figures from the right.
  const size_t firstFigure = all ? allcol::kPrice : depotcol::kHolding;
  for (size_t c = 0; c < count; ++c) {
    TableColumn col;
    col.header = all ? kAllFundsHeaders[c] : kDepotFundsHeaders[c];
    col.align = c >= firstFigure ? CellAlign::Right : CellAlign::Left;
    t.columns.push_back(std::move(col));
  }
  if (all) {
    t.groups = {{"Performancewerte", allcol::kYears3, allcol::kMonth1},
                {"Kennzahlen", allcol::kVolatility, allcol::kTreynor}};
  } else {
    t.groups = {{"Performancewerte", depotcol::kYears3, depotcol::kMonth1},
                {"Kennzahlen", depotcol::kVolatility, depotcol::kTreynor}};
  }
  return t;
}

double ChangeOver(const std::vector<double>& a, size_t back) {
  if (back == 0 || a.size() <= back) return 0;
  const double before = a[a.size() - 1 - back];
  if (before == 0) return 0;
  const double change = WithoutBinaryNoise((a.back() / before - 1) * 100);
  return std::isfinite(change) ? change : 0;
}

FundRow AllFundsRow(const std::string& company, const FundFacts& f, const FundStatistics& st) {
  FundRow row;
  std::vector<std::string>& cells = row.line.cells;
  cells.reserve(allcol::kCount);
  cells.push_back(company);
  cells.push_back(f.name);
  cells.push_back(f.wkn);
  cells.push_back(Fixed2(f.newestPrice));
  AppendFigures(cells, f, st);
  return row;
}

FundRow DepotFundsRow(const std::string& depot, const std::string& company, const FundFacts& f,
                      const FundStatistics& st) {
  FundRow row;
  row.shares = ParseNumber(f.holding);
  row.value = st.value;
  row.depots = {depot};
  std::vector<std::string>& cells = row.line.cells;
  cells.reserve(depotcol::kCount);
  cells.push_back(depot);
  cells.push_back(company);
  cells.push_back(f.name);
  cells.push_back(f.wkn);
  cells.push_back(f.holding.empty() ? "0,000" : f.holding);
  cells.push_back(Fixed2(st.value));
  AppendFigures(cells, f, st);
  cells.push_back(Percent(st.annualReturn));
  return row;
}

void SortFundRows(std::vector<FundRow>& rows, int kind, SortKind sort) {
  const bool all = kind == printkind::kAllFunds;
  if (sort == SortKind::Alphabetical) {
    const size_t name = all ? allcol::kName : depotcol::kName;
    std::stable_sort(rows.begin(), rows.end(),
                     [name](const FundRow& a, const FundRow& b) { return a.line.At(name) < b.line.At(name); });
    return;
  }
  if (sort == SortKind::Return && all) return;
  size_t primary = 0;
  switch (sort) {
    case SortKind::GainLowRisk:
      primary = all ? allcol::kSharpe : depotcol::kSharpe;
      break;
    case SortKind::GainHighRisk:
      primary = all ? allcol::kVolatility : depotcol::kVolatility;
      break;
    default:
      primary = depotcol::kReturn;
      break;
  }
  const bool byMonth = sort != SortKind::Return;
  const size_t month = all ? allcol::kMonth1 : depotcol::kMonth1;
  // Keys are parsed once; the rows are then put in the order of their keys.
  // A "-0,00" and a "0,00" cell compare equal, as their numbers do.
  std::vector<SortKeys> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    keys[i].primary = ParseNumber(rows[i].line.At(primary));
    keys[i].month = byMonth ? ParseNumber(rows[i].line.At(month)) : 0;
  }
  std::vector<size_t> order(rows.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&keys](size_t a, size_t b) {
    if (keys[a].primary != keys[b].primary) return keys[a].primary > keys[b].primary;
    return keys[a].month > keys[b].month;
  });
  std::vector<FundRow> sorted;
  sorted.reserve(rows.size());
  for (size_t i : order) sorted.push_back(std::move(rows[i]));
  rows = std::move(sorted);
}

void MergeSameFunds(std::vector<FundRow>& rows) {
  std::unordered_map<std::string, size_t> first;  // fund name -> row in out
  std::vector<FundRow> out;
  out.reserve(rows.size());
  for (FundRow& r : rows) {
    const std::string& name = r.line.At(depotcol::kName);
    auto [it, fresh] = first.emplace(name, out.size());
    if (fresh) {
      out.push_back(std::move(r));
      continue;
    }
    FundRow& m = out[it->second];
    m.shares += r.shares;
    m.value += r.value;
    for (std::string& d : r.depots)
      if (std::find(m.depots.begin(), m.depots.end(), d) == m.depots.end()) m.depots.push_back(std::move(d));
    std::string depots;
    for (const std::string& d : m.depots) depots += (depots.empty() ? "" : ", ") + d;
    m.line.cells[depotcol::kDepot] = depots;
    m.line.cells[depotcol::kHolding] = FormatNumber(m.shares, 4);
    m.line.cells[depotcol::kValue] = Fixed2(m.value);
  }
  rows = std::move(out);
}

void BlankRepeats(std::vector<TableLine>& lines, size_t column) {
  std::string previous;
  bool havePrevious = false;
  for (TableLine& l : lines) {
    if (l.kind != LineKind::Row || column >= l.cells.size()) {
      havePrevious = false;
      continue;
    }
    std::string& cell = l.cells[column];
    if (havePrevious && cell == previous) {
      cell.clear();
    } else {
      previous = cell;
      havePrevious = true;
    }
  }
}

}  // namespace tellurio
