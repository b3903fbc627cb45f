#pragma once
// Depots on real files in a temporary directory for the savings-plan tests,
// with the recording prompter and scripted savings dialogs.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "analysis/ReturnCalculation.h"
#include "calendar/Calendar.h"
#include "platform/Clock.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"
#include "portfolio/DepotState.h"
#include "portfolio/Funds.h"

namespace tellurio::testing {

// A fund as stored in a depot store: master row and flat rows per section.
struct StoredFund {
  FundMaster master;
  std::vector<std::string> prices;     // date, price
  std::vector<std::string> purchases;  // date, price, shares, amount
  std::vector<std::string> sales;
  std::vector<std::string> holding;  // date, shares
  std::vector<std::string> opening;  // capital, shares
};

// Each dialog runs the next scripted function, which plays the user's part
// against the rules; an empty script closes the dialog (cancelled).
struct ScriptedSavingsDialogs : SavingsDialogs {
  std::deque<std::function<bool(ReturnCalculationRules&)>> calculation;
  std::deque<std::function<bool(FundAmountsRules&)>> amounts;
  int amountsShown = 0;

  bool ReturnCalculation(ReturnCalculationRules& rules) override;
  bool FundAmounts(FundAmountsRules& rules) override;

  // OK with these fields until the rules accept (a refused field is emptied
  // as the rules say, and OK pressed again, at most a few times).
  static std::function<bool(FundAmountsRules&)> Enter(std::vector<tellurio::FundAmounts> fields);
};

struct SavingsFixture {
  TempDir dir;
  RecordingPrompter prompter;
  FixedClock clock{CivilDate{2003, 3, 5}};
  Calendar calendar{clock};
  DepotState state;
  ScriptedSavingsDialogs dialogs;

  // Display currency Euro; the currency list knows Euro (1,00000).
  SavingsFixture();
  // Writes a depot store with these funds and adds the depot to the list.
  void AddDepot(const std::string& depot, const std::vector<StoredFund>& funds);
};

// A Euro fund without surcharge and without transactions.
StoredFund PlainFund(const std::string& name, std::vector<std::string> prices);

}  // namespace tellurio::testing
