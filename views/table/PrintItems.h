#pragma once
// The print items of "Druckausgabe" for the selected fund: the choice of the
// dialog with its rules, the order of the jobs, and the data of each item
// (the text lists as TextTables, the chart series for the chart drawing).

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Statistics.h"
#include "platform/DialogStep.h"
#include "platform/Prompter.h"
#include "portfolio/DepotState.h"
#include "views/table/TextTable.h"

namespace tellurio {

// The seven check boxes and the two dates of "Druckausgabe".
struct PrintChoice {
  bool longTermChart = false;  // "Langfristchart"
  bool yearlyChart = false;    // "Jahreschart"
  bool monthlyChart = false;   // "Monatschart"
  bool transactions = false;   // "Umsätze"
  bool fundData = false;       // "Fonddaten"
  bool prices = false;         // "Kurse"
  bool period = false;         // "Tageschart vom" .. "bis zum"
  std::string start, end;

  bool operator==(const PrintChoice&) const = default;
};

// The rules of "Druckausgabe": OK needs both dates of a chosen period.
class PrintChoiceRules {
 public:
  explicit PrintChoiceRules(Prompter& prompter) : prompter_(prompter) {}
  // With "Tageschart vom" checked and the start (then the end) date not a
  // whole date: beeps, says which date is missing, unchecks the period in
  // choice and stays.  Otherwise accepts.
  DialogStep Ok(PrintChoice& choice);

 private:
  Prompter& prompter_;
};

enum class PrintItem { LongTermChart, YearlyChart, MonthlyChart, Transactions, Prices, FundData, PeriodChart };

// The chosen items in the order they print: "Langfristchart", "Jahreschart",
// "Monatschart", "Umsätze", "Kurse", "Fonddaten", the period.
std::vector<PrintItem> PrintOrder(const PrintChoice& choice);

// The selected fund where its data are: the depot store when the depot holds
// it, else the fund archive (a fund chosen from the list of all funds).
struct FundLocation {
  const RecordStore* store = nullptr;
  int record = -1;
  Scope scope = Scope::DepotFunds;
};
std::optional<FundLocation> LocateFund(const DepotState& state, const std::string& fund);

// "Umsätze des Fonds " + fund: the purchases and sales with the running
// share count, then the distributions line and the holding.
TextTable TransactionsTable(const RecordStore& depot, const std::string& fund);
// "Kurse des Fonds " + fund: date and price of every price row.
TextTable PricesTable(const std::string& fund, const std::string& currency, const std::vector<std::string>& priceRows);
// "Werte des Fonds " + fund: WKN, currency, surcharge, highest, lowest and
// newest price, then the fund information lines under "Wertentwicklung" and
// "Kennzahlen".
TextTable FundDataTable(const std::vector<std::string>& master, const std::vector<std::string>& priceRows,
                        const std::array<std::string, 14>& infoLines);

// The price rows of a period: from the first row dated on or after start up
// to and including the first row dated on or after end.
struct PeriodRows {
  enum class Problem { None, StartAfterLastPrice, InvalidEnd };
  Problem problem = Problem::None;
  std::vector<std::string> rows;  // date, price, ...
};
PeriodRows SelectPeriod(const std::vector<std::string>& priceRows, const std::string& start, const std::string& end);
// The message for a refused period ("Hinweis", stop icon).
std::string PeriodProblemText(PeriodRows::Problem problem);

}  // namespace tellurio
