#pragma once
// The Qt dialogs of the savings plans: "Renditeberechnung" and "Werteeingabe
// für die Fonds", showing what ReturnCalculationRules and FundAmountsRules
// decide, and a plain window that shows a savings-plan report.

#include <QWidget>

#include "analysis/ReturnCalculation.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

namespace tellurio {

class SavingsDialogsQt : public SavingsDialogs {
 public:
  // prompter and clock must outlive the dialogs; parent may change.
  SavingsDialogsQt(Prompter& prompter, const Clock& clock, QWidget* parent)
      : prompter_(prompter), clock_(clock), parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  bool ReturnCalculation(ReturnCalculationRules& rules) override;
  bool FundAmounts(FundAmountsRules& rules) override;

 private:
  Prompter& prompter_;
  const Clock& clock_;
  QWidget* parent_;
};

// Shows the report's lines in a read-only window of its own (not modal,
// deleted when closed), in a fixed-width font so that the fund lines stand
// under the column header.  Returns the window.
QWidget* ShowSavingsReport(const SavingsReport& report, QWidget* parent);

}  // namespace tellurio
