#pragma once
// The depot fixture with scripted transaction dialogs and the transaction
// commands, plus helpers for other depots' stores in the same directory.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "portfolio/TransactionCommands.h"
#include "portfolio/tests/PortfolioFixture.h"

namespace tellurio::testing {

// Each dialog runs the next scripted function, which plays the user's part
// against the session; an empty script closes the dialog at once (trade) or
// cancels it (the others).
struct ScriptedTransactionDialogs : TransactionDialogs {
  std::deque<std::function<void(TradeSession&)>> trade;
  std::deque<std::function<bool(AdjustmentSession&)>> adjust;
  std::deque<std::function<bool(OpeningSession&)>> opening;
  // Every list the transaction dialog would show, one per fund in order.
  std::vector<TransactionListView> shownLists;

  void Trade(TradeSession& s) override {
    if (!trade.empty()) Take(trade)(s);
  }
  bool EnterAdjustments(AdjustmentSession& s) override { return !adjust.empty() && Take(adjust)(s); }
  bool EnterOpeningHoldings(OpeningSession& s) override { return !opening.empty() && Take(opening)(s); }
  void ShowTransactions(const TransactionListing& listing) override {
    for (size_t i = 0; i < listing.Funds().size(); ++i) shownLists.push_back(listing.Build(i));
  }

 private:
  template <typename T>
  static T Take(std::deque<T>& q) {
    T t = std::move(q.front());
    q.pop_front();
    return t;
  }
};

struct TransactionFixture : DepotFixture {
  ScriptedTransactionDialogs txDialogs;
  DepotStores stores{prompter, calendar};
  TransactionCommands tx{state, calendar, prompter, events, factors, txDialogs, stores};

  explicit TransactionFixture(CivilDate today = CivilDate{2003, 3, 5}) : DepotFixture(today) {}

  // Rows of a section of a fund in the current depot, read back from disk.
  std::vector<std::string> Stored(int section, const std::string& fund) {
    Reopen();
    return ReadSection(state.depotStore, section, fund);
  }
  // Sets the holding row of a fund of the current depot and saves.
  void SetHolding(const std::string& fund, const std::string& date, const std::string& shares) {
    state.depotStore.Select(fund);
    state.depotStore.ReplaceRows(section::kHolding, {date, shares});
    EXPECT_TRUE(state.depotStore.Save().ok());
  }
};

// Another depot's main store in the fixture's directory.
struct OtherDepot {
  RecordStore store;
  OtherDepot(const std::filesystem::path& dir, const std::string& name);
  void AddFund(const FundMaster& m, const std::vector<std::string>& prices, const std::string& holding);
  // The fund's rows of a section as the files hold them now.
  std::vector<std::string> Read(int section, const std::string& fund);
};

}  // namespace tellurio::testing
