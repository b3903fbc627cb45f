#include "acquisition/ImportPanel.h"

namespace tellurio {

ImportPanelRules::ImportPanelRules(Prompter& prompter, std::vector<std::string> funds)
    : prompter_(prompter), funds_(std::move(funds)) {
  if (!funds_.empty()) chosen_ = funds_.front();
}

ImportPanelView ImportPanelRules::Opened() {
  allFunds_ = true;
  ImportPanelView v;
  v.checked = true;
  if (funds_.empty()) return v;
  chosen_ = funds_.front();
  v.selectorVisible = true;
  v.selectorEnabled = false;
  v.selected = 0;
  return v;
}

ImportPanelView ImportPanelRules::BoxClicked(bool checked) {
  ImportPanelView v;
  v.selectorVisible = !funds_.empty();
  v.selected = funds_.empty() ? -1 : 0;
  allFunds_ = checked;
  if (checked) return v;
  if (funds_.empty()) {
    prompter_.Show(Message{"Hinweis",
                           "Es sind im aktuellen Depot keine Fonds vorhanden.\n"
                           "Sie können also nur das gesamte Depot aktuallisieren",
                           MessageButtons::Ok, MessageIcon::Exclamation, BeepKind::Exclamation});
    allFunds_ = true;
    return v;
  }
  v.checked = false;
  v.selectorEnabled = true;
  chosen_ = funds_.front();
  return v;
}

void ImportPanelRules::FundChosen(int index) {
  if (index >= 0 && static_cast<size_t>(index) < funds_.size()) chosen_ = funds_[static_cast<size_t>(index)];
}

}  // namespace tellurio
