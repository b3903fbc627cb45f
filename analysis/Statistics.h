#pragma once
// Fund statistics and the depot value: from the price series and the
// transactions of every fund, the weekly, monthly and yearly averages and
// change series, value, profit and annual return of each fund held, the
// depot totals, and five risk figures.  Kept in two tables, one per scope:
// the funds of the current depot (depot store) and all funds (the fund
// archive store).  The views only read the tables.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calendar/Calendar.h"
#include "portfolio/DepotState.h"

namespace tellurio {

struct FundStatistics {
  std::vector<double> weeklyChanges;   // percent
  std::vector<double> monthlyChanges;  // percent
  std::vector<double> yearlyChanges;   // percent
  std::vector<double> yearlyAverages;  // fund currency
  std::vector<double> monthlyAverages;
  double changeSinceFirst = 0;         // "Wertanstieg/Anteil seit dem ersten Kauf", percent
  double changeSinceYearStart = 0;     // "... seit dem letzten Jahr"
  double changeSinceLastPurchase = 0;  // "... seit dem letzten Kauf"
  double profit = 0;
  double annualReturn = 0;  // percent per year
  double value = 0;
  double volatility = 0;
  double maximumLoss = 0;
  double longestLossPeriod = 0;  // months
  double sharpeRatio = 0;
  double treynorRatio = 0;
};

enum class Period { Weekly, Monthly, Yearly };

// One line of the fund ranking of the fund lists: the fund, the price
// change of its last month (A) and its last monthly change in percent (P).
struct RankingLine {
  std::string fund;  // full name
  double change = 0;
  std::string changeText;   // A, 2 decimals
  std::string percentText;  // P, 2 decimals + "%"
};

class Statistics {
 public:
  // The state must outlive the statistics; its stores are read on every
  // recompute.
  Statistics(const DepotState& state, const Calendar& calendar) : state_(state), calendar_(calendar) {}

  // Rebuilds the scope's table: one row per fund, then the weekly (depot
  // scope only), monthly and yearly passes and the risk figures.  For all
  // funds it also starts reading the ranking figures of the archived funds
  // on another thread, for the next FundRanking.
  void RecomputeStatistics(Scope scope);
  // The same without the weekly pass (weekly changes stay empty), for
  // readers that show no weekly figure, such as the fund tables.
  void RecomputeWithoutWeekly(Scope scope);
  // One pass over all funds of the scope; the monthly pass of the depot
  // scope also computes value, profit, the three changes, the annual return
  // and the depot totals.
  void ComputeSeriesAndValues(Scope scope, Period period);
  void ComputeRiskFigures(Scope scope);

  // The scope's table.  The archive's rows are computed when they are
  // first read (here, or a fund's row by DerivedSeriesList and
  // FundInfoLines), from the store as it is then; the ranking of the
  // archive needs only each fund's last months.
  const std::vector<FundStatistics>& Table(Scope scope) const;
  // The depot totals as 2-decimal texts (empty before the first pass).
  const std::string& DepotValue() const { return depotValue_; }
  const std::string& DepotProfit() const { return depotProfit_; }

  // Label and value texts of a derived series of the fund at that position
  // of the scope: kind 0 monthly averages, 1 yearly averages, 2 monthly
  // changes, 3 yearly changes.
  std::vector<std::string> DerivedSeriesList(int fund, Scope scope, int kind) const;

  // "Wert des Depots: " and "Gewinn des Depots: " lines, padded so that the
  // amounts end at the same place in a font measured by width.
  std::array<std::string, 2> DepotTotalLines(const std::function<int(const std::string&)>& width) const;

  // The fourteen values of the fund information panel of the fund at that
  // position of the scope, in the order of kFundInfoLabels.
  std::array<std::string, 14> FundInfoLines(int fund, Scope scope) const;
  // Their labels: the first nine under "Wertentwicklung", the last five
  // under "Kennzahlen".
  static const std::array<const char*, 14> kFundInfoLabels;

  // The funds of the scope, largest last-month price change first.  Built
  // once after each computation of the table; the reference is valid until
  // the next computation or call.  User-interface thread only.
  const std::vector<RankingLine>& FundRanking(Scope scope) const;

  // The price series of a fund as numbers (a view; see SeriesData).
  struct Series {
    std::span<const double> price;
    std::span<const PackedDate> date;
  };
  // A series that owns its numbers.
  struct SeriesData {
    std::vector<double> price;
    std::vector<PackedDate> date;
    Series View() const { return {price, date}; }
  };

 private:
  struct RiskInputs {
    double indexChange = 0;  // of the newest DAX day
    double rate = 0;         // money-market rate, percent
  };
  const RecordStore& StoreOf(Scope scope) const;
  // The scope's rows as they are (archive rows not computed yet included).
  std::vector<FundStatistics>& TableOf(Scope scope) const { return scope == Scope::DepotFunds ? depot_ : all_; }
  // Reads the prices of a record into price and date (room for all rows).
  void ReadOne(Scope scope, int record, double* price, PackedDate* date) const;
  void ReadOne(Scope scope, int record, SeriesData& s) const;
  std::vector<SeriesData> ReadSeries(Scope scope) const;
  // One period pass for one fund (without the depot totals).
  void FundPass(Scope scope, Period period, int record, const Series& s, FundStatistics& st) const;
  static void FundRisk(const Series& s, FundStatistics& st, const RiskInputs& in);
  RiskInputs Inputs() const;
  void Totals();
  void Recompute(Scope scope, bool weekly);
  // Computes the rows `todo` of the scope's table (the archive's rows are
  // filled in when read, so this is const).
  void ComputeRows(Scope scope, const std::vector<int>& todo, bool weekly, const RiskInputs& risk) const;
  // Archive rows not computed since the last recompute.
  bool Pending(size_t record) const;
  void SettleRows(const std::vector<int>& todo) const;
  void SettleRow(int record) const;
  void SettleAll() const;
  // The ranking figures of an archived fund from its last months alone;
  // false when they do not tell (its last nonzero average or change lies
  // further back), and then only its whole row does.
  bool TailRanking(int record, double& change, double& percent) const;

  // Where the rows a fund's figures were computed from lay in the store's
  // decoded table: the first line and the size of its records in the
  // sections the scope reads (prices; for the depot scope also purchases,
  // sales, holding and opening holding).
  struct RowSource {
    std::array<uint32_t, 5> first{};
    std::array<uint32_t, 5> size{};
    bool operator==(const RowSource&) const = default;
  };
  // What the rows of a scope's table were computed from.  A fund whose
  // records are still the same unedited lines of the same table, with the
  // same risk inputs, has the same figures: its row is taken over instead
  // of being computed again (when the passes are the same).  The table is held weakly, so that a store
  // opened again (a new table) never matches the old one and the old one
  // is not kept alive.
  struct ScopeSource {
    std::weak_ptr<const detail::LineTable> table;
    RiskInputs risk;
    bool weekly = true;                          // with the weekly pass
    std::vector<std::optional<RowSource>> rows;  // per row; none for edited records
  };
  std::optional<RowSource> SourceOf(Scope scope, int record, const detail::LineTable* table) const;

  const DepotState& state_;
  const Calendar& calendar_;
  mutable ScopeSource source_[2];
  // The fund ranking of a scope as last built, with the fund names it was
  // built with.
  struct RankingCache {
    bool valid = false;
    std::vector<std::string> names;
    std::vector<RankingLine> lines;
  };
  mutable RankingCache ranking_[2];
  // all_ is filled in by the const readers: see Table.
  mutable std::vector<FundStatistics> depot_, all_;
  mutable std::vector<char> pending_;  // per archive row: not computed yet
  mutable size_t pendingCount_ = 0;
  // Per archive row not computed yet: its ranking figures once taken from
  // its last months.
  struct TailFigures {
    bool known = false;
    double change = 0, percent = 0;
  };
  mutable std::vector<TailFigures> tails_;
  // The tail figures of the pending archive rows, computed on another
  // thread after a recompute of all funds (when there are at least
  // kTailJobMinimum of them) and taken by the next ranking; stopped and
  // dropped by the next recompute.
  struct TailJob;
  struct TailJobStop {
    void operator()(TailJob* job) const;
  };
  static constexpr size_t kTailJobMinimum = 256;
  void StartTailJob();
  void TakeTailJob() const;
  mutable std::unique_ptr<TailJob, TailJobStop> tailJob_;
  std::string depotValue_, depotProfit_;
};

// The labels of a derived series: MM/JJ from the first price's month (kind
// 0) or the month after (2), four-digit years from its year (kind 1) or the
// year after (3): a change is labelled with the later of its two periods.
std::vector<std::string> DerivedLabels(PackedDate firstPrice, int kind, size_t count);

// The date and the price of a price row as Calendar::ParseDate and
// ParseNumber read them, with short cuts for the usual "TT.MM.JJJJ" and
// "1234,56" (the statistics read millions of them).
PackedDate ReadPriceDate(std::string_view text);
double ReadPrice(std::string_view text);
// The first `rows` rows (date, price) of a price section from its values in
// one piece (see RecordView::Text), walked from line to line instead of
// looking every line up: each date and price as ReadPriceDate and ReadPrice
// read the lines (a "\r" before a "\n" ends the line, as in the table).
// false, with the rows left half written, where a date is of another form
// or the text ends early; the caller then reads the lines one by one.
bool ReadPriceRows(std::string_view text, size_t rows, double* price, PackedDate* date);
// All rows of a price section (size() / 2 of them), each date and price as
// ReadPriceDate and ReadPrice read its line: walked in one piece, or in two
// where the section lies in both halves of a large store (the row across
// them read line by line), and line by line where walking gives up.
void ReadPriceSection(const RecordView& v, double* price, PackedDate* date);

// Pads text at its end with blanks until width(text) reaches target (it
// stops when it is at most 2 units short).
std::string PadToWidth(std::string text, int target, const std::function<int(const std::string&)>& width);

}  // namespace tellurio
