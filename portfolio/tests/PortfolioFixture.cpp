#include "portfolio/tests/PortfolioFixture.h"

#include <gtest/gtest.h>

#include "portfolio/PriceEntrySession.h"
#include "storage/FileSet.h"

namespace tellurio::testing {

template <typename T>
static T Next(std::deque<T>& q) {
  T t = std::move(q.front());
  q.pop_front();
  return t;
}

std::optional<std::string> ScriptedFactors::AskFactor(const std::string& currency, const std::string& display) {
  asked.push_back(currency + " in " + display);
  return answers.empty() ? std::nullopt : Next(answers);
}

std::optional<FundEntry> ScriptedFundDialogs::NewFund(NewFundRules& rules) {
  if (newFund.empty()) return std::nullopt;
  return Next(newFund)(rules);
}

std::optional<std::string> ScriptedFundDialogs::ChooseFundToDelete(const std::vector<std::string>& funds,
                                                                   DeleteFundRules& rules) {
  if (deleteFund.empty()) return std::nullopt;
  return Next(deleteFund)(funds, rules);
}

std::optional<std::pair<size_t, FundEntry>> ScriptedFundDialogs::EditFund(EditFundRules& rules) {
  if (editFund.empty()) return std::nullopt;
  return Next(editFund)(rules);
}

bool ScriptedFundDialogs::ShowFundData(const FundDataView& data) {
  shownData.push_back(data);
  return fundDataDelete.empty() ? false : Next(fundDataDelete);
}

void ScriptedFundDialogs::EnterPrices(PriceEntrySession& session) {
  if (!priceEntry.empty()) Next(priceEntry)(session);
}

std::function<std::optional<FundEntry>(NewFundRules&)> ScriptedFundDialogs::Submit(FundEntry e) {
  return [e](NewFundRules& rules) mutable -> std::optional<FundEntry> {
    for (int round = 0; round < 5; ++round) {
      FieldOutcome o = rules.Ok(e);
      if (o.step == DialogStep::Accept) return o.entry;
      if (o.step == DialogStep::Cancel) return std::nullopt;
      switch (o.clear) {
        case FundField::Name:
          e.name.clear();
          break;
        case FundField::Wkn:
          e.wkn.clear();
          break;
        case FundField::Surcharge:
          e.surchargePercent.clear();
          break;
        case FundField::Currency:
          e.currency.clear();
          break;
        case FundField::None:
          return std::nullopt;
      }
    }
    return std::nullopt;
  };
}

std::function<std::optional<std::string>(const std::vector<std::string>&, DeleteFundRules&)>
ScriptedFundDialogs::Choose(std::string fund) {
  return [fund](const std::vector<std::string>&, DeleteFundRules& rules) -> std::optional<std::string> {
    rules.DoubleClicked(fund);
    if (rules.Ok() == DialogStep::Accept) return rules.Choice();
    return std::nullopt;
  };
}

DepotFixture::DepotFixture(CivilDate today) : clock(today), calendar(clock) {
  state.workingDirectory = dir.path();
  state.currentDepot = "Depot";
  state.currency = "Euro";
  OpenStores();
}

void DepotFixture::OpenStores() {
  EXPECT_TRUE(state.depotStore.Create(fileset::DepotBase(dir.path(), "Depot"), 6, fileset::kDepotRowWidths).ok());
  EXPECT_TRUE(state.depotStore.Open().ok());
  EXPECT_TRUE(
      state.auxiliaryStore.Create(fileset::ArchiveBase(dir.path(), "Depot"), 2, fileset::kArchiveRowWidths).ok());
  EXPECT_TRUE(state.auxiliaryStore.Open().ok());
  state.fundCount = state.depotStore.RecordCount();
}

void DepotFixture::AddFund(const FundMaster& m, const std::vector<std::string>& prices, bool archive) {
  RecordStore& s = archive ? state.auxiliaryStore : state.depotStore;
  s.AddRecord(m.Row());
  if (!prices.empty()) s.AppendRows(section::kPrices, prices, static_cast<int>(prices.size() / 2));
  EXPECT_TRUE(s.Save().ok());
  state.fundCount = state.depotStore.RecordCount();
}

}  // namespace tellurio::testing
