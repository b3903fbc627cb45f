#pragma once
// The Qt dialogs of the transaction commands: "Fondanteile kaufen" and
// "Verkauf von Fondanteilen" with their target dialogs "Zielkauf" and
// "Zielverkauf", "Ertragsausschüttung eingeben", "jährliche Kosten des
// Fonds", "Anfangsbestände eingeben" and "Umsatzanzeige".  Each forwards its
// events to its session and shows what the session holds.

#include <QWidget>

#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "portfolio/TransactionDialogs.h"

namespace tellurio {

class TransactionDialogsQt : public TransactionDialogs {
 public:
  // prompter and clock (for the date fields) must outlive the dialogs.
  TransactionDialogsQt(Prompter& prompter, const Clock& clock, QWidget* parent)
      : prompter_(prompter), clock_(clock), parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  void Trade(TradeSession& session) override;
  bool EnterAdjustments(AdjustmentSession& session) override;
  bool EnterOpeningHoldings(OpeningSession& session) override;
  void ShowTransactions(const TransactionListing& listing) override;

 private:
  Prompter& prompter_;
  const Clock& clock_;
  QWidget* parent_;
};

}  // namespace tellurio
