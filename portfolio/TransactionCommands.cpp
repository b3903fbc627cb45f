#include "portfolio/TransactionCommands.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "calendar/NumberText.h"
#include "portfolio/FundCommands.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"

namespace tellurio {

namespace {

struct Skipped {
  std::string depot;
  std::string fund;
  std::string date;
};

// The price of the first price row on that date, or nothing.
std::optional<std::string> FirstPriceOn(const RecordStore& store, const std::string& fund, const std::string& date) {
  const std::vector<std::string> rows = PriceRows(store, fund);
  for (size_t i = 0; i + 1 < rows.size(); i += 2)
    if (rows[i] == date) return rows[i + 1];
  return std::nullopt;
}

// Rewrites the holding rows of the store's funds named in the entries;
// true when anything changed (the caller saves).
bool ApplyTo(RecordStore& store, const std::string& depot, AdjustmentKind kind,
             const std::vector<AdjustmentEntry>& entries, std::vector<Skipped>& skipped) {
  bool changed = false;
  for (const AdjustmentEntry& e : entries) {
    const std::optional<FundMaster> master = ReadMaster(store, e.fund);
    if (!master) continue;  // this depot does not hold the fund
    const std::vector<std::string> holding = ReadSection(store, section::kHolding, e.fund);
    const double shares = holding.size() >= 2 ? ParseNumber(holding[1]) : 0;
    const std::optional<std::string> priceText = FirstPriceOn(store, e.fund, e.date);
    const double price = priceText ? ParseNumber(*priceText) : 0;
    const double factor = ParseNumber(master->surchargeFactor);
    const double now = kind == AdjustmentKind::Distribution
                           ? SharesAfterDistribution(shares, ParseNumber(e.amount), price, factor)
                           : SharesAfterCosts(shares, ParseNumber(e.amount), price);
    // No price of this copy of the fund on that day: a share count computed
    // from price 0 would be garbage, so the depot keeps its holding.
    if (price == 0 || (kind == AdjustmentKind::Distribution && factor == 0) || !std::isfinite(now)) {
      skipped.push_back({depot, e.fund, e.date});
      continue;
    }
    store.Select(e.fund);
    store.ReplaceRows(section::kHolding, {e.date, FormatNumber(now, 4)});
    changed = true;
  }
  return changed;
}

}  // namespace

TransactionCommands::TransactionCommands(DepotState& state, const Calendar& calendar, Prompter& prompter,
                                         DocumentEvents& events, ConversionFactorSource& factors,
                                         TransactionDialogs& dialogs, DepotStores& stores)
    : state_(state),
      calendar_(calendar),
      prompter_(prompter),
      events_(events),
      factors_(factors),
      dialogs_(dialogs),
      stores_(stores) {}

void TransactionCommands::Trade(TradeKind kind) {
  if (state_.depotStore.RecordCount() == 0) {
    prompter_.Notice("Hinweis",
                     kind == TradeKind::Buy ? "Sie müssen erst Fonds eingeben, bevor Sie Anteile kaufen können."
                                            : "Sie müssen erst Fonds eingeben, bevor Sie Anteile verkaufen können.",
                     MessageIcon::Stop, BeepKind::Stop);
    return;
  }
  TradeSession session(kind, state_, calendar_, prompter_);
  dialogs_.Trade(session);
  events_.RecomputeStatistics(Scope::DepotFunds);
  events_.UpdateAllViews();
}

void TransactionCommands::Buy() { Trade(TradeKind::Buy); }
void TransactionCommands::Sell() { Trade(TradeKind::Sell); }

void TransactionCommands::Adjust(AdjustmentKind kind) {
  AdjustmentSession session(kind, state_.depotStore, prompter_);
  if (!dialogs_.EnterAdjustments(session)) return;
  ApplyAdjustments(kind, session.Entries());
}

void TransactionCommands::EnterDistributions() { Adjust(AdjustmentKind::Distribution); }
void TransactionCommands::EnterCosts() { Adjust(AdjustmentKind::Costs); }

void TransactionCommands::ApplyAdjustments(AdjustmentKind kind, const std::vector<AdjustmentEntry>& entries) {
  std::vector<Skipped> skipped;
  if (!entries.empty()) {
    std::vector<std::string> depots = state_.depotNames;
    if (!state_.currentDepot.empty() && std::find(depots.begin(), depots.end(), state_.currentDepot) == depots.end())
      depots.insert(depots.begin(), state_.currentDepot);
    for (const std::string& depot : depots) {
      if (depot == state_.currentDepot) {
        if (ApplyTo(state_.depotStore, depot, kind, entries, skipped))
          ReportFailure(prompter_, state_.depotStore.Save());
        continue;
      }
      // Every other depot is opened on its own store; the current depot's
      // stores stay as they are.  A depot listed whose files are gone is
      // left alone; one that cannot be read was reported by the opening.
      RecordStore other;
      const StoreOpened opened = stores_.Open(state_.workingDirectory, depot, StoreKind::Depot, other, false);
      if (opened == StoreOpened::Missing || opened == StoreOpened::Unreadable) continue;
      if (ApplyTo(other, depot, kind, entries, skipped)) ReportFailure(prompter_, other.Save());
    }
  }
  if (!skipped.empty()) {
    std::string text = kind == AdjustmentKind::Distribution
                           ? "Die Ertragsausschüttung wurde in diesen Depots nicht gebucht, weil dort für den Tag "
                             "der Ausschüttung kein Kurs des Fonds vorliegt:\n"
                           : "Die Kosten wurden in diesen Depots nicht gebucht, weil dort für den Tag des "
                             "Kostenanfalls kein Kurs des Fonds vorliegt:\n";
    for (const Skipped& s : skipped) text += "\n" + s.depot + ": " + s.fund + " am " + s.date;
    prompter_.Notice("Hinweis", text, MessageIcon::Exclamation, BeepKind::Exclamation);
  }
  events_.RecomputeStatistics(Scope::AllFunds);
  events_.RecomputeStatistics(Scope::DepotFunds);
  events_.UpdateAllViews();
}

void TransactionCommands::EnterOpeningHoldings() {
  OpeningSession session(state_.depotStore, prompter_);
  if (!dialogs_.EnterOpeningHoldings(session)) return;
  ApplyOpeningHoldings(session.Entries());
}

void TransactionCommands::ApplyOpeningHoldings(const std::vector<OpeningEntry>& entries) {
  RecordStore& store = state_.depotStore;
  CurrencyList currencies(state_.currencyFactors);
  bool changed = false;
  for (const OpeningEntry& e : entries) {
    const std::optional<FundMaster> master = ReadMaster(store, e.fund);
    if (!master) continue;
    const std::vector<std::string> opening = ReadSection(store, section::kOpening, e.fund);
    const std::vector<std::string> holding = ReadSection(store, section::kHolding, e.fund);
    const double openingShares = opening.size() >= 2 ? ParseNumber(opening[1]) : 0;
    const bool held = holding.size() >= 2;
    const double growth = held ? ParseNumber(holding[1]) - openingShares : 0;

    currencies.Register(e.currency, state_.currency, factors_);
    // The fund currency is registered when the depot is loaded; this only
    // asks when that did not happen.
    currencies.Register(master->currency, state_.currency, factors_);
    const double entryFactor = currencies.Factor(e.currency, 0);
    const double fundFactor = currencies.Factor(master->currency, 0);
    if (entryFactor == 0 || fundFactor == 0) {
      prompter_.Notice("Hinweis",
                       MissingFactorText(entryFactor == 0 ? e.currency : master->currency, state_.currency) +
                           "\n\nDie Anfangsbestände des Fonds " + e.fund + " werden nicht übernommen.",
                       MessageIcon::Exclamation, BeepKind::Exclamation);
      continue;
    }
    const std::string capital = FormatNumber(ParseNumber(e.capital) * entryFactor / fundFactor, 2);

    store.Select(e.fund);
    if (held)
      store.ReplaceRows(section::kHolding, {e.date, FormatNumber(growth + ParseNumber(e.shares), 5)});
    else
      store.AppendRows(section::kHolding, {e.date, e.shares}, 1);
    store.ReplaceRows(section::kOpening, {capital, e.shares});
    changed = true;
  }
  if (changed) ReportFailure(prompter_, store.Save());
  events_.RecomputeStatistics(Scope::DepotFunds);
  events_.RecomputeStatistics(Scope::AllFunds);
  events_.UpdateAllViews();
}

void TransactionCommands::ShowTransactions() {
  TransactionListing listing(state_.depotStore);
  dialogs_.ShowTransactions(listing);
}

}  // namespace tellurio
