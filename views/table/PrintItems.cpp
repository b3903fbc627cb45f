#include "views/table/PrintItems.h"

#include "analysis/Statistics.h"
#include "calendar/Calendar.h"
#include "calendar/DateOrder.h"
#include "calendar/NumberText.h"
#include "portfolio/Funds.h"
#include "portfolio/TransactionList.h"

namespace tellurio {

namespace {

// A whole date "TT.MM.JJJJ" that exists.
bool IsWholeDate(const std::string& t) {
  if (t.size() != 10 || t[2] != '.' || t[5] != '.') return false;
  for (size_t i : {0u, 1u, 3u, 4u, 6u, 7u, 8u, 9u})
    if (t[i] < '0' || t[i] > '9') return false;
  const PackedDate d = Calendar::ParseDate(t);
  const int month = PackedMonth(d);
  return month >= 1 && month <= 12 && PackedDay(d) >= 1 && PackedDay(d) <= Calendar::DaysInMonth(PackedYear(d), month);
}

}  // namespace

DialogStep PrintChoiceRules::Ok(PrintChoice& c) {
  if (c.period) {
    const char* missing = !IsWholeDate(c.start) ? "Startdatum" : !IsWholeDate(c.end) ? "Enddatum" : nullptr;
    if (missing) {
      prompter_.Show(Message{"Frage",
                             std::string("Sie müssen bei dieser Auswahl erst das ") + missing +
                                 " eingeben,\nbevor Sie den Dialog verlassen können !!",
                             MessageButtons::Ok, MessageIcon::Exclamation, BeepKind::Exclamation});
      c.period = false;
      return DialogStep::Stay;
    }
  }
  return DialogStep::Accept;
}

std::vector<PrintItem> PrintOrder(const PrintChoice& c) {
  std::vector<PrintItem> out;
  if (c.longTermChart) out.push_back(PrintItem::LongTermChart);
  if (c.yearlyChart) out.push_back(PrintItem::YearlyChart);
  if (c.monthlyChart) out.push_back(PrintItem::MonthlyChart);
  if (c.transactions) out.push_back(PrintItem::Transactions);
  if (c.prices) out.push_back(PrintItem::Prices);
  if (c.fundData) out.push_back(PrintItem::FundData);
  if (c.period) out.push_back(PrintItem::PeriodChart);
  return out;
}

std::optional<FundLocation> LocateFund(const DepotState& state, const std::string& fund) {
  if (fund.empty()) return std::nullopt;
  const int inDepot = state.depotStore.FindKey(fund);
  if (inDepot >= 0 && inDepot < state.depotStore.RecordCount())
    return FundLocation{&state.depotStore, inDepot, Scope::DepotFunds};
  const int inArchive = state.auxiliaryStore.FindKey(fund);
  if (inArchive >= 0 && inArchive < state.auxiliaryStore.RecordCount())
    return FundLocation{&state.auxiliaryStore, inArchive, Scope::AllFunds};
  return std::nullopt;
}

TextTable TransactionsTable(const RecordStore& depot, const std::string& fund) {
  TextTable t;
  t.kind = printkind::kTransactions;
  t.title = "Umsätze des Fonds " + fund;
  t.columns = {{"Datum", CellAlign::Center},
               {"Verkaufspreis", CellAlign::Right},
               {"Kaufpreis", CellAlign::Right},
               {"ver-/gekaufte Anteile", CellAlign::Right},
               {"Gesamtbestand", CellAlign::Right}};
  // A fund of the fund archive has no transactions: the list stays empty.
  const bool held = depot.FindKey(fund) >= 0;
  const TransactionListView list = held ? BuildTransactionList(depot, fund) : TransactionListView{};
  for (const TransactionLine& l : list.lines)
    t.lines.push_back(TableLine::Row({l.date, l.salePrice, l.purchasePrice, l.shares, l.total}));
  t.lines.push_back(TableLine::Blank());
  t.lines.push_back(
      TableLine::Text("Erträge bisher gesamt: " + (held ? list.distributions : std::string("0,0000")) + " Anteile"));
  t.lines.push_back(
      TableLine::Text("Anteilsbestand gesamt: " + (held ? list.holding : std::string("0,0000")) + " Anteile"));
  return t;
}

TextTable PricesTable(const std::string& fund, const std::string& currency, const std::vector<std::string>& rows) {
  TextTable t;
  t.kind = printkind::kPrices;
  t.title = "Kurse des Fonds " + fund;
  t.flowing = true;
  t.columns = {{"Datum", CellAlign::Center}, {currency.empty() ? "Kurs" : "Kurs in " + currency, CellAlign::Right}};
  t.lines.reserve(rows.size() / 2);
  for (size_t i = 0; i + 1 < rows.size(); i += 2) t.lines.push_back(TableLine::Row({rows[i], rows[i + 1]}));
  return t;
}

TextTable FundDataTable(const std::vector<std::string>& master, const std::vector<std::string>& rows,
                        const std::array<std::string, 14>& info) {
  auto at = [&master](size_t i) { return i < master.size() ? master[i] : std::string(); };
  const std::string currency = at(3);
  TextTable t;
  t.kind = printkind::kFundData;
  t.title = "Werte des Fonds " + at(0);
  t.columns = {{"", CellAlign::Left}, {"", CellAlign::Right}};
  double highest = 0, lowest = 0;
  bool any = false;
  for (size_t i = 1; i < rows.size(); i += 2) {
    const double p = ParseNumber(rows[i]);
    if (p == 0) continue;
    highest = any ? std::max(highest, p) : p;
    lowest = any ? std::min(lowest, p) : p;
    any = true;
  }
  const std::string surcharge = SurchargePercentText(at(2));
  const std::string unit = currency.empty() ? "" : " " + currency;
  t.lines.push_back(TableLine::Row({"Wertpapierkennummer: ", at(1)}));
  t.lines.push_back(TableLine::Row({"Fondwährung: ", currency}));
  t.lines.push_back(TableLine::Row({"Ausgabeaufschlag: ", surcharge == "k.A." ? surcharge : surcharge + " %"}));
  t.lines.push_back(TableLine::Row({"Höchster Wert: ", FormatNumber(highest, 2) + unit}));
  t.lines.push_back(TableLine::Row({"Niedrigster Wert: ", FormatNumber(lowest, 2) + unit}));
  t.lines.push_back(TableLine::Row({"aktueller Kurs: ", LatestPrice(rows).price + unit}));
  t.lines.push_back(TableLine::Blank());
  t.lines.push_back(TableLine::Caption("Wertentwicklung"));
  for (size_t i = 0; i < 9; ++i) t.lines.push_back(TableLine::Row({Statistics::kFundInfoLabels[i], info[i]}));
  t.lines.push_back(TableLine::Blank());
  t.lines.push_back(TableLine::Caption("Kennzahlen"));
  for (size_t i = 9; i < 14; ++i) t.lines.push_back(TableLine::Row({Statistics::kFundInfoLabels[i], info[i]}));
  return t;
}

PeriodRows SelectPeriod(const std::vector<std::string>& rows, const std::string& start, const std::string& end) {
  PeriodRows out;
  const size_t n = rows.size() / 2;
  const int from = DayNumber(start, 0), to = DayNumber(end, 0);
  size_t first = n, last = n;
  for (size_t i = 0; i < n && first == n; ++i)
    if (DayNumber(rows[2 * i], 0) >= from) first = i;
  if (first == n) {
    out.problem = PeriodRows::Problem::StartAfterLastPrice;
    return out;
  }
  for (size_t i = 0; i < n && last == n; ++i)
    if (DayNumber(rows[2 * i], 0) >= to) last = i;
  // An end before the start is no period either.
  if (last == n || last < first) {
    out.problem = PeriodRows::Problem::InvalidEnd;
    return out;
  }
  out.rows.assign(rows.begin() + static_cast<std::ptrdiff_t>(2 * first),
                  rows.begin() + static_cast<std::ptrdiff_t>(2 * last + 2));
  return out;
}

std::string PeriodProblemText(PeriodRows::Problem problem) {
  switch (problem) {
    case PeriodRows::Problem::StartAfterLastPrice:
      return "Der von Ihnen gewählte Starttermin liegt nach dem letzten verfügbaren Kurswert";
    case PeriodRows::Problem::InvalidEnd:
      return "Der von Ihnen gewählte Endtermin ist ungültig";
    case PeriodRows::Problem::None:
      break;
  }
  return std::string();
}

}  // namespace tellurio
