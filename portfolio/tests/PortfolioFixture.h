#pragma once
// A depot on real files in a temporary directory, with scripted fund
// dialogs, recorded document events and the recording prompter.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calendar/Calendar.h"
#include "platform/Clock.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"
#include "portfolio/FundCommands.h"

namespace tellurio::testing {

struct RecordingEvents : DocumentEvents {
  std::vector<std::string> calls;
  void RecomputeStatistics(Scope s) override { calls.push_back(s == Scope::DepotFunds ? "stat:depot" : "stat:all"); }
  void ComputeRiskFigures(Scope s) override { calls.push_back(s == Scope::DepotFunds ? "risk:depot" : "risk:all"); }
  void RebuildTicker() override { calls.push_back("ticker"); }
  void ResetChartView(bool) override { calls.push_back("reset"); }
  void UpdateAllViews() override { calls.push_back("update"); }
  void ShowDepotStatus() override {}
  void ShowCurrencyStatus() override {}
};

struct ScriptedFactors : ConversionFactorSource {
  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> asked;
  std::optional<std::string> AskFactor(const std::string& currency, const std::string& display) override;
};

// Each dialog runs the next scripted function, which plays the user's part
// against the dialog's rules; an empty script cancels the dialog.
struct ScriptedFundDialogs : FundDialogs {
  std::deque<std::function<std::optional<FundEntry>(NewFundRules&)>> newFund;
  std::deque<std::function<std::optional<std::string>(const std::vector<std::string>&, DeleteFundRules&)>> deleteFund;
  std::deque<std::function<std::optional<std::pair<size_t, FundEntry>>(EditFundRules&)>> editFund;
  std::deque<bool> fundDataDelete;
  std::vector<FundDataView> shownData;
  std::deque<std::function<void(PriceEntrySession&)>> priceEntry;

  std::optional<FundEntry> NewFund(NewFundRules& rules) override;
  std::optional<std::string> ChooseFundToDelete(const std::vector<std::string>& funds, DeleteFundRules& rules) override;
  std::optional<std::pair<size_t, FundEntry>> EditFund(EditFundRules& rules) override;
  bool ShowFundData(const FundDataView& data) override;
  void EnterPrices(PriceEntrySession& session) override;

  // OK with these fields until the dialog accepts or cancels (at most a few
  // rounds: a Stay with a field to clear clears it and tries again).
  static std::function<std::optional<FundEntry>(NewFundRules&)> Submit(FundEntry e);
  // Double click on fund, then OK.
  static std::function<std::optional<std::string>(const std::vector<std::string>&, DeleteFundRules&)> Choose(
      std::string fund);
};

struct DepotFixture {
  TempDir dir;
  RecordingPrompter prompter;
  FixedClock clock;
  Calendar calendar;
  DepotState state;
  RecordingEvents events;
  ScriptedFactors factors;
  ScriptedFundDialogs dialogs;
  FundCommands funds{state, calendar, prompter, events, factors, dialogs};

  explicit DepotFixture(CivilDate today = CivilDate{2003, 3, 5});
  // Opens (creating) the stores of depot "Depot".
  void OpenStores();
  // Adds a fund with these price rows to the depot store (or the archive).
  void AddFund(const FundMaster& m, const std::vector<std::string>& prices, bool archive = false);
  // Reads the stores back from disk, as a restart would.
  void Reopen() { OpenStores(); }
};

}  // namespace tellurio::testing
