#pragma once
// The command table: every menu and toolbar command with its menu text and
// tool tip, the menus and toolbars they appear in, the guard that refuses
// commands while the table view is shown, and the enabling of zoom, value
// display and print.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Prompter.h"

namespace tellurio {

namespace cmd {
inline constexpr int kNewDepot = 32828;
inline constexpr int kSwitchDepot = 32829;
inline constexpr int kDeleteDepot = 32830;
inline constexpr int kBackup = 32831;
inline constexpr int kRestore = 32832;
inline constexpr int kPrint = 32833;
inline constexpr int kExportCsv = 32860;  // CSV export, after "&Drucken ..."
inline constexpr int kNewFund = 32834;
inline constexpr int kDeleteFund = 32835;
inline constexpr int kEditFund = 32836;
inline constexpr int kTransactions = 32824;
inline constexpr int kDistribution = 32837;
inline constexpr int kCosts = 32823;
inline constexpr int kBuy = 32838;
inline constexpr int kSell = 32839;
inline constexpr int kOpeningHoldings = 32825;
inline constexpr int kManualPrices = 32840;
inline constexpr int kImportPrices = 32841;
inline constexpr int kDownloadPrices = 107;
inline constexpr int kMoneyMarketRate = 32844;
inline constexpr int kSavingsPlans = 32842;
inline constexpr int kSwitchCurrency = 32843;
inline constexpr int kPortrait = 32853;
inline constexpr int kLongTermChart = 32798;
inline constexpr int kDailyChart = 32799;
inline constexpr int kMonthlyAverages = 32800;
inline constexpr int kYearlyAverages = 32801;
inline constexpr int kMonthlyPerformance = 32802;
inline constexpr int kYearlyPerformance = 32803;
inline constexpr int kCompareFunds = 32804;
inline constexpr int kZoomIn = 32817;
inline constexpr int kZoomOut = 32818;
inline constexpr int kEndChart = 32821;
inline constexpr int kValueDisplay = 32816;
inline constexpr int kTableToggle = 32848;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;
inline constexpr int kHelp = 57667;
inline constexpr int kContextHelp = 57669;
inline constexpr int kSeparator = 0;
}  // namespace cmd

struct CommandInfo {
  int id;
  const char* menuText;  // with "&" before the mnemonic; "" when toolbar only
  const char* toolTip;   // "" when none
  const char* icon;      // icon resource name, "" when none
  bool guarded;          // refused while the table view is on
};

// All commands, in the order of the command table.
const std::vector<CommandInfo>& Commands();
const CommandInfo* FindCommand(int id);

struct MenuDefinition {
  const char* title;
  std::vector<int> items;  // cmd::kSeparator for a separator
};
// The depot menu bar: groups, then the plain items "&Sparpläne" and "&Ende", then "&?".
const std::vector<MenuDefinition>& DepotMenu();
// The buttons of toolbar 128 and of the chart toolbar 140 (0 = separator).
const std::vector<int>& StandardToolbar();
const std::vector<int>& ChartToolbar();

// The application flags (each used as a boolean).
struct AppFlags {
  int zoomEnabled = 0;
  int printEnabled = 0;
  int valueDisplayEnabled = 0;
  int tableViewOn = 0;
  int savedPrintEnabled = 0;
};

class CommandTable {
 public:
  CommandTable(AppFlags& flags, Prompter& prompter);

  // What a command does once the guard let it through.
  void Bind(int id, std::function<void()> action);
  // Runs a command: a guarded one while the table view is on only shows
  // "Sie können diese Option nur in der Chartansicht nutzen!".
  void Execute(int id);
  bool IsEnabled(int id) const;

  // The table toggle: switches the table pane on or off through showTable and
  // keeps the print enabling of the chart view.
  void SetTableViewRequest(std::function<void(bool on)> showTable) { showTable_ = std::move(showTable); }

 private:
  void ToggleTableView();

  AppFlags& flags_;
  Prompter& prompter_;
  std::map<int, std::function<void()>> actions_;
  std::function<void(bool)> showTable_;
};

}  // namespace tellurio
