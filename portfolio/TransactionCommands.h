#pragma once
// The transaction commands of a depot: buying and selling shares,
// distributions and costs (applied to the fund of that name in every depot),
// opening holdings (current depot only) and the transaction list.  They work
// on the depot state of the document and tell it through DocumentEvents what
// has to be recomputed and redrawn.

#include <string>
#include <vector>

#include "calendar/Calendar.h"
#include "platform/Prompter.h"
#include "portfolio/CurrencyList.h"
#include "portfolio/DepotState.h"
#include "portfolio/DepotStores.h"
#include "portfolio/TransactionDialogs.h"

namespace tellurio {

class TransactionCommands {
 public:
  // Everything must outlive the commands.  Other depots' stores are opened
  // through `stores`, with the session's one opening behaviour.
  TransactionCommands(DepotState& state, const Calendar& calendar, Prompter& prompter, DocumentEvents& events,
                      ConversionFactorSource& factors, TransactionDialogs& dialogs, DepotStores& stores);

  void Buy();
  void Sell();
  void EnterDistributions();
  void EnterCosts();
  void EnterOpeningHoldings();
  void ShowTransactions();

  // Applies the entries to every depot of the depot list (the current one
  // included) that holds a fund of the entry's name, each with the price of
  // its own copy of the fund on the entry date.  A depot whose copy has no
  // usable price on that date keeps its holding; the user is told which.
  void ApplyAdjustments(AdjustmentKind kind, const std::vector<AdjustmentEntry>& entries);
  // Applies the entries to the current depot and saves it.
  void ApplyOpeningHoldings(const std::vector<OpeningEntry>& entries);

 private:
  void Trade(TradeKind kind);
  void Adjust(AdjustmentKind kind);

  DepotState& state_;
  const Calendar& calendar_;
  Prompter& prompter_;
  DocumentEvents& events_;
  ConversionFactorSource& factors_;
  TransactionDialogs& dialogs_;
  DepotStores& stores_;
};

}  // namespace tellurio
