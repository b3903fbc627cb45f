#include "views/table/TableSelectionRules.h"

#include <algorithm>

namespace tellurio {

TableSelectionRules::TableSelectionRules(std::vector<std::string> depots) : depots_(std::move(depots)) {
  std::sort(depots_.begin(), depots_.end());
  state_.depotList = depots_;
}

void TableSelectionRules::ChooseAllFunds() {
  state_.allFunds = true;
  state_.separateDepots = false;
  state_.separateEnabled = false;
  state_.byCompany = false;
  state_.byCompanyEnabled = true;
  state_.depotList.clear();
  state_.depotListEnabled = false;
  state_.returnSortEnabled = false;
  // The table of all funds has no return column; some sort order stays chosen.
  if (state_.sort == SortKind::Return) state_.sort = SortKind::GainLowRisk;
}

void TableSelectionRules::ChooseDepotFunds() {
  state_.allFunds = false;
  state_.separateDepots = false;
  state_.separateEnabled = true;
  state_.byCompany = false;
  state_.byCompanyEnabled = true;
  state_.depotList = depots_;
  state_.depotListEnabled = true;
  state_.returnSortEnabled = true;
}

void TableSelectionRules::SetSeparateDepots(bool on) {
  if (!state_.separateEnabled) return;
  state_.separateDepots = on;
  if (on) state_.byCompany = false;
  state_.byCompanyEnabled = !on;
}

void TableSelectionRules::SetByCompany(bool on) {
  if (!state_.byCompanyEnabled) return;
  state_.byCompany = on;
  if (on) state_.separateDepots = false;
  state_.separateEnabled = !on && !state_.allFunds;
}

void TableSelectionRules::ChooseSort(SortKind sort) {
  if (sort == SortKind::Return && !state_.returnSortEnabled) return;
  state_.sort = sort;
}

TableSelection TableSelectionRules::Ok(const std::vector<std::string>& marked) const {
  TableSelection s;
  s.allFunds = state_.allFunds;
  s.separateDepots = state_.separateDepots;
  s.byCompany = state_.byCompany;
  s.sort = state_.sort;
  if (!state_.allFunds) s.excludedDepots = marked;
  return s;
}

}  // namespace tellurio
