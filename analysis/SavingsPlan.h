#pragma once
// Savings plans on the real price history of a fund: what a one-off amount
// or a monthly rate (with a yearly increase) paid into a fund would have
// become, replayed price row by price row, and the totals of one fund or of
// a whole depot.  Plain functions over numbers read once from a depot store;
// nothing here writes, asks or shows anything (see ReturnCalculation.h for
// the dialog's rules and messages).
//
// Dates are compared by DayNumber form 0 (a 360-day count, so the 31st of a
// month equals the 1st of the next); the distribution day "TT.MM." by form 3.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/Calendar.h"
#include "storage/RecordStore.h"

namespace tellurio {

enum class SavingsMode { OneOff, Monthly };
enum class SavingsScope { Fund, Depot };

inline constexpr const char* kDefaultDistributionDay = "31.12.";
// The return when it has no meaning (a period of 0 days, nothing paid in).
inline constexpr const char* kNoReturn = "k.A.";

// The inputs of one fund's plan, as typed.  Amounts are in the depot
// currency; empty amounts count as 0.
struct SavingsInput {
  std::string distributionDay = kDefaultDistributionDay;  // "TT.MM."
  std::string yearlyIncrease;                             // percent per year
  std::string purchaseDate;
  std::string monthlyRate;
  std::string start;  // of the investment period
  std::string end;
  std::string initialAmount;
  std::string fund;
};

// What the plan reads of a fund: its surcharge factor, its currency, the
// share of its holding that came from reinvested distributions, and its
// price rows with a price (rows priced 0 mean "no price" and take no part),
// oldest first.  The rows are either in memory (dates, days, prices) or, for
// a fund read from a store, the store's own rows (source), whose prices are
// read as the plan needs them; such a fund is valid while the store is
// neither changed nor closed.
struct SavingsFund {
  double surchargeFactor = 1;
  std::string currency;
  double distributionRatio = 0;
  std::vector<PackedDate> dates;
  std::vector<int> days;  // DayNumber form 0 of each row
  std::vector<double> prices;
  RecordView source;  // date, price; used while dates is empty
  // The date of every row of source (priced or not), when indexed.
  std::vector<PackedDate> sourceDates;
  bool indexed = false;
};

// Reads the master row and the transactions of a fund of a depot store (six
// sections) and refers to its price rows; false when the store has no such
// fund.
bool ReadSavingsFund(const RecordStore& store, std::string_view name, SavingsFund& fund);
// Indexes the dates of the fund's source rows when every one is plainly
// written "TT.MM.JJJJ" and they are in date order, as the program keeps
// them (a plan can then be run many times over the source); false
// otherwise.
bool IndexSavingsRows(SavingsFund& fund);
// The fund's price rows from its source into memory: rows with a price, in
// date order (rows out of order are put in order, stably).
void LoadSavingsRows(SavingsFund& fund);

// The distribution ratio X from the fund's own transactions: with H = shares
// held − opening shares and S = shares bought − shares sold, X = (H − S) ÷ H
// when H > 0; otherwise X = −S ÷ S2, S2 being S before the last sale was
// subtracted, when there are at least two sales and S2 is not 0; else 0.
// A ratio below −1 (records that say more shares went than were held) is
// taken as −1: a distribution can take every share, never more, so the
// plan never holds fewer than 0 shares.
// Rows are flat (4 values per purchase or sale, 2 per holding row).
double DistributionRatio(const std::vector<std::string>& holding, const std::vector<std::string>& opening,
                         const std::vector<std::string>& purchases, const std::vector<std::string>& sales);

// Why a fund's plan has no result.
enum class SavingsFailure {
  None,
  NoData,    // the period ends before the first price, or starts after the last
  TooLarge,  // the amounts grow beyond what a number can hold
};

struct FundPlanResult {
  SavingsFailure failure = SavingsFailure::None;
  std::string start;       // the start actually used: the date of the first price row in the period
  std::string paidIn;      // 2 decimals, depot currency
  std::string finalValue;  // 2 decimals, depot currency
  std::string end;         // the end actually used: as typed, or the date of the last price row when the
                           // prices end before it (the final value is of that day)
};

// Replays the plan over the fund's price rows: those in memory, or the
// source rows, indexed or loaded first when the fund is not indexed yet.
// The result is the same either way.  factor converts one unit of
// the fund currency into the depot currency (it must be > 0, as must the
// fund's surcharge factor); debitDay is the day of the month (1..31) after
// which the monthly rate is debited.  The purchase date and the order of
// start and end are not checked here.
FundPlanResult SimulateFund(const SavingsInput& input, const SavingsFund& fund, double factor, SavingsMode mode,
                            int debitDay);

struct SavingsTotals {
  std::string paidIn;         // 2 decimals
  std::string finalValue;     // 2 decimals
  std::string profit;         // 2 decimals
  std::string returnPercent;  // 2 decimals, or kNoReturn
  std::string period;         // start + " - " + end
};

// The totals of the funds that have a result (in order): paid in and final
// value added up with 2 decimals after every fund, profit, yearly return
// over the calendar days of the period ÷ 365.  The period runs from the
// start of the first fund to the latest end of the funds: the end as typed
// unless the prices of every fund end before it (a period into the future,
// a fund no longer priced), when the final value is of an earlier day and a
// return spread over days without prices would be too small.
// Nothing when no fund has a result, or when the sums grow beyond what a
// number can hold.
std::optional<SavingsTotals> ComputeTotals(const std::vector<FundPlanResult>& results, const std::string& end,
                                           const Calendar& calendar);

// One calculation as the report shows it: each fund's own inputs beside its
// own result, and the totals.
struct SavingsCalculation {
  SavingsMode mode = SavingsMode::OneOff;
  SavingsScope scope = SavingsScope::Fund;
  std::string depot;
  std::string currency;  // of the depot
  int debitDay = 1;
  std::vector<SavingsInput> inputs;     // the funds that have a result
  std::vector<FundPlanResult> results;  // in the same order
  SavingsTotals totals;
};

// The report of a calculation: a plain list of lines that a table pane and a
// printer can both lay out.  Fund lines also carry their seven cells (name,
// purchase date, initial amount, monthly rate, increase, distribution day,
// period) so that a printer can place them in columns of its own.
enum class ReportLineKind { Title, Heading, ColumnHeader, Fund, Text };
struct ReportLine {
  ReportLineKind kind = ReportLineKind::Text;
  std::string text;
  std::vector<std::string> cells;  // Fund lines only
};
struct SavingsReport {
  std::string title;
  std::vector<ReportLine> lines;  // the title first
  std::vector<std::string> Texts() const;
};

inline constexpr const char* kReportColumnHeader =
    "                     Fondname                        Kaufdatum    Anfangsbetrag monatliche Rate Dynamisierung "
    "Ausschüttung          Anlagezeitraum";

SavingsReport BuildSavingsReport(const SavingsCalculation& calculation);

// An amount or a percentage text of the report: two decimals, "0,00" when
// empty.
std::string ReportNumber(std::string_view text);

// A debit day as the drop-down shows it: "01." .. "31.".
std::string DebitDayText(int day);

// "TT.MM." with a real day of that month (29.02. included).
bool IsDistributionDay(std::string_view text);

}  // namespace tellurio
