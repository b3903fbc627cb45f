#include "portfolio/tests/TransactionFixture.h"

#include <gtest/gtest.h>

#include "storage/FileSet.h"

namespace tellurio::testing {

OtherDepot::OtherDepot(const std::filesystem::path& dir, const std::string& name) {
  EXPECT_TRUE(store.Create(fileset::DepotBase(dir, name), 6, fileset::kDepotRowWidths).ok());
  EXPECT_TRUE(store.Open().ok());
}

void OtherDepot::AddFund(const FundMaster& m, const std::vector<std::string>& prices, const std::string& holding) {
  store.AddRecord(m.Row());
  if (!prices.empty()) store.AppendRows(section::kPrices, prices, static_cast<int>(prices.size() / 2));
  if (!holding.empty()) store.AppendRows(section::kHolding, {"01.01.2003", holding}, 1);
  EXPECT_TRUE(store.Save().ok());
}

std::vector<std::string> OtherDepot::Read(int section, const std::string& fund) {
  EXPECT_TRUE(store.Open().ok());
  return ReadSection(store, section, fund);
}

}  // namespace tellurio::testing
