#pragma once
// The dialogs of the transaction commands as the commands see them.  Each
// runs modally on a session that holds the dialog's state and rules
// (TransactionTrade.h, TransactionEntries.h, TransactionList.h); the Qt layer
// implements them, tests script them.

#include "portfolio/TransactionEntries.h"
#include "portfolio/TransactionList.h"
#include "portfolio/TransactionTrade.h"

namespace tellurio {

class TransactionDialogs {
 public:
  virtual ~TransactionDialogs() = default;
  // "Fondanteile kaufen" or "Verkauf von Fondanteilen"; the session writes
  // every booking itself.
  virtual void Trade(TradeSession& session) = 0;
  // "Ertragsausschüttung eingeben" or "jährliche Kosten des Fonds"; true when
  // closed with OK (the session's entries are then applied).
  virtual bool EnterAdjustments(AdjustmentSession& session) = 0;
  // "Anfangsbestände eingeben"; true when closed with OK.
  virtual bool EnterOpeningHoldings(OpeningSession& session) = 0;
  // "Umsatzanzeige".
  virtual void ShowTransactions(const TransactionListing& listing) = 0;
};

}  // namespace tellurio
