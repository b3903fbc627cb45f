#pragma once
// The two fund tables of the table view: all available funds (13 columns)
// and the funds of the depots (16 columns), their rows from the statistics
// tables, the four sort orders and the blocks by depot or by company.
//
// This file holds the pieces that work on rows already collected; the
// collection over the depots is in FundTableBuilder.h.

#include <string>
#include <vector>

#include "analysis/Statistics.h"
#include "views/table/TextTable.h"

namespace tellurio {

enum class SortKind { Alphabetical = 0, GainLowRisk = 1, GainHighRisk = 2, Return = 3 };

// The settings chosen in "Auswahl der Tabellenansicht".
struct TableSelection {
  bool allFunds = false;  // false: only the funds of the depots
  bool separateDepots = true;
  bool byCompany = false;
  SortKind sort = SortKind::GainLowRisk;
  std::vector<std::string> excludedDepots;

  bool operator==(const TableSelection&) const = default;
};

// Column positions.
namespace allcol {
inline constexpr size_t kCompany = 0, kName = 1, kWkn = 2, kPrice = 3, kYears3 = 4, kYears2 = 5, kYear1 = 6,
                        kMonth1 = 7, kVolatility = 8, kMaxLoss = 9, kLossPeriod = 10, kSharpe = 11, kTreynor = 12,
                        kCount = 13;
}
namespace depotcol {
inline constexpr size_t kDepot = 0, kCompany = 1, kName = 2, kWkn = 3, kHolding = 4, kValue = 5, kYears3 = 6,
                        kYears2 = 7, kYear1 = 8, kMonth1 = 9, kVolatility = 10, kMaxLoss = 11, kLossPeriod = 12,
                        kSharpe = 13, kTreynor = 14, kReturn = 15, kCount = 16;
}

// An empty table of that kind (printkind::kAllFunds or kDepotFunds): title
// with the sort order text, columns with headers, the captions "Kennzahlen"
// and "Performancewerte", landscape.
TextTable EmptyFundTable(int kind, SortKind sort);
// "Tabelle aller verfügbaren Fonds " / "Tabelle der Fonds der Depots " and
// the sort order text.
std::string FundTableTitle(int kind, SortKind sort);

// The change of the newest average against the one `back` places before it,
// in percent: (a[n-1] / a[n-1-back] - 1) * 100 when more than `back`
// averages exist, else 0; 0 also when the older average is 0.
double ChangeOver(const std::vector<double>& averages, size_t back);

// What a row needs besides the statistics: the fund's master values, its
// newest price and (depot table) its holding.
struct FundFacts {
  std::string name;
  std::string wkn;
  std::string currency;
  double newestPrice = 0;
  std::string holding;  // the stored share text of the holdings row, "" when none
};

// One row under construction: its cells and the numbers a merge adds up.
struct FundRow {
  TableLine line;
  double shares = 0;
  double value = 0;
  std::vector<std::string> depots;  // the depots the row stands for
};

FundRow AllFundsRow(const std::string& company, const FundFacts& facts, const FundStatistics& st);
FundRow DepotFundsRow(const std::string& depot, const std::string& company, const FundFacts& facts,
                      const FundStatistics& st);

// Sorts rows of a table kind by the sort kind; stable: rows with equal keys
// keep their order.  Numbers are compared as the cells show them (2
// decimals), so "1,23" and "1,23" are equal even when the figures behind
// them differ; then the one-month change decides (gain sorts).  The return
// sort applies to the depot table only; for the table of all funds it keeps
// the order.
void SortFundRows(std::vector<FundRow>& rows, int kind, SortKind sort);

// Merges the rows of the same fund (same name) into the first of them:
// "Bestand" (4 decimals) and "Wert" become the sums, "Depotname" lists the
// depots.  Depot table only.
void MergeSameFunds(std::vector<FundRow>& rows);

// Leaves the cell of that column empty in every line whose value equals the
// line before it, so that a value shows only at the start of its run.
void BlankRepeats(std::vector<TableLine>& lines, size_t column);

}  // namespace tellurio
