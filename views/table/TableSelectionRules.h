#pragma once
// The rules of "Auswahl der Tabellenansicht": which controls are on and
// enabled after each choice, and the settings OK hands on.  The Qt dialog
// forwards each click and shows State() afterwards.

#include <string>
#include <vector>

#include "views/table/FundTable.h"

namespace tellurio {

struct TableSelectionState {
  bool allFunds = false;  // "Alle Fonds"; otherwise "nur die Fonds der Depots"
  bool separateDepots = true;
  bool separateEnabled = true;
  bool byCompany = false;
  bool byCompanyEnabled = false;
  std::vector<std::string> depotList;  // sorted; empty while "Alle Fonds"
  bool depotListEnabled = true;
  SortKind sort = SortKind::GainLowRisk;
  bool returnSortEnabled = true;

  bool operator==(const TableSelectionState&) const = default;
};

class TableSelectionRules {
 public:
  // The state on opening: depot funds, separate depots, no grouping by
  // company (disabled), the gain-at-low-risk sort, all depots listed.
  explicit TableSelectionRules(std::vector<std::string> depots);

  const TableSelectionState& State() const { return state_; }

  void ChooseAllFunds();
  void ChooseDepotFunds();
  // Separate depots and grouping by company exclude each other.
  void SetSeparateDepots(bool on);
  void SetByCompany(bool on);
  // Ignored for the return sort while it is disabled.
  void ChooseSort(SortKind sort);
  // The settings, with the marked depots excluded (none while "Alle Fonds").
  TableSelection Ok(const std::vector<std::string>& markedDepots) const;

 private:
  std::vector<std::string> depots_;
  TableSelectionState state_;
};

}  // namespace tellurio
