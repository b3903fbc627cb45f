#include "analysis/tests/SavingsFixture.h"

#include <gtest/gtest.h>

#include "storage/FileSet.h"

namespace tellurio::testing {

bool ScriptedSavingsDialogs::ReturnCalculation(ReturnCalculationRules& rules) {
  if (calculation.empty()) return false;
  auto fn = std::move(calculation.front());
  calculation.pop_front();
  return fn(rules);
}

bool ScriptedSavingsDialogs::FundAmounts(FundAmountsRules& rules) {
  ++amountsShown;
  if (amounts.empty()) return false;
  auto fn = std::move(amounts.front());
  amounts.pop_front();
  return fn(rules);
}

std::function<bool(FundAmountsRules&)> ScriptedSavingsDialogs::Enter(std::vector<tellurio::FundAmounts> fields) {
  return [fields](FundAmountsRules& rules) mutable {
    for (int round = 0; round < 3; ++round) {
      const FundAmountsRules::Outcome o = rules.Ok(fields);
      if (o.step == DialogStep::Accept) return true;
      if (!o.clear || o.row >= fields.size()) return false;
      tellurio::FundAmounts& f = fields[o.row];
      (o.column == FundAmountsRules::Column::MonthlyRate ? f.monthlyRate : f.initialAmount).clear();
    }
    return false;
  };
}

SavingsFixture::SavingsFixture() {
  state.workingDirectory = dir.path();
  state.currency = "Euro";
  state.currencyFactors = {"Euro", "1,00000"};
}

void SavingsFixture::AddDepot(const std::string& depot, const std::vector<StoredFund>& funds) {
  RecordStore store;
  ASSERT_TRUE(store.Create(fileset::DepotBase(dir.path(), depot), 6, fileset::kDepotRowWidths).ok());
  ASSERT_TRUE(store.Open().ok());
  for (const StoredFund& f : funds) {
    store.AddRecord(f.master.Row());
    auto rows = [&](int section, const std::vector<std::string>& values, int width) {
      if (!values.empty()) store.AppendRows(section, values, static_cast<int>(values.size()) / width);
    };
    rows(section::kPrices, f.prices, 2);
    rows(section::kPurchases, f.purchases, 4);
    rows(section::kSales, f.sales, 4);
    rows(section::kHolding, f.holding, 2);
    rows(section::kOpening, f.opening, 2);
  }
  ASSERT_TRUE(store.Save().ok());
  state.depotNames.push_back(depot);
}

StoredFund PlainFund(const std::string& name, std::vector<std::string> prices) {
  StoredFund f;
  f.master = FundMaster{name, "1", "1,0000", "Euro"};
  f.prices = std::move(prices);
  return f;
}

}  // namespace tellurio::testing
