#pragma once
// The rules of the extra panel of the import file dialog: the check box
// "Alle Fonds importieren" and the selector of one fund of the current
// depot, with the message for a depot without funds.

#include <string>
#include <vector>

#include "platform/Prompter.h"

namespace tellurio {

// What the panel shows after an event.
struct ImportPanelView {
  bool checked = true;           // "Alle Fonds importieren"
  bool selectorVisible = false;  // the fund selector and its label
  bool selectorEnabled = false;
  int selected = -1;  // the selector's entry, -1 for none
};

class ImportPanelRules {
 public:
  // funds: the fund names of the current depot store, in store order.
  ImportPanelRules(Prompter& prompter, std::vector<std::string> funds);

  const std::vector<std::string>& Funds() const { return funds_; }
  ImportPanelView Opened();
  // The user clicked the check box, which now shows `checked`.
  ImportPanelView BoxClicked(bool checked);
  void FundChosen(int index);
  // OK reads the box once more.
  void Ok(bool checked) { allFunds_ = checked; }

  bool AllFunds() const { return allFunds_; }
  const std::string& ChosenFund() const { return chosen_; }

 private:
  Prompter& prompter_;
  std::vector<std::string> funds_;
  bool allFunds_ = true;
  std::string chosen_;
};

}  // namespace tellurio
