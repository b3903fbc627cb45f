#include "views/table/tests/TableFixture.h"

#include <gtest/gtest.h>

#include "storage/FileSet.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"

namespace tellurio::testing {

void WriteStore(const std::filesystem::path& base, bool depotStore, const std::vector<FundSpec>& funds) {
  RecordStore s;
  EXPECT_TRUE(
      s.Create(base, depotStore ? 6 : 2, depotStore ? fileset::kDepotRowWidths : fileset::kArchiveRowWidths).ok());
  EXPECT_TRUE(s.Open().ok());
  for (const FundSpec& f : funds) {
    s.AddRecord({f.name, f.wkn, f.factor, f.currency});
    s.AppendRows(1, f.prices, static_cast<int>(f.prices.size() / 2));
    if (depotStore && !f.holding.empty()) s.AppendRows(4, {"16.06.2003", f.holding}, 1);
  }
  EXPECT_TRUE(s.Save().ok());
}

TableFixture::TableFixture() {
  const auto& wd = dir.path();
  const std::vector<std::string> pricesA = {"15.06.2000", "100,00",     "15.06.2001", "110,00",     "14.06.2002",
                                            "120,00",     "15.05.2003", "140,00",     "16.06.2003", "160,00"};
  WriteStore(fileset::DepotBase(wd, "Alpha"), true,
             {{"Fonds A", "111111", "1,0500", "Euro", pricesA, "10,5000"},
              {"Fonds B", "222222", "1,0000", "Euro", {"14.06.2002", "50,00", "16.06.2003", "40,00"}, ""}});
  WriteStore(fileset::DepotBase(wd, "Beta"), true, {{"Fonds A", "111111", "1,0500", "Euro", pricesA, "2,2500"}});
  WriteStore(fileset::DepotBase(wd, "Gamma"), true,
             {{"Fonds C", "333333", "1,0300", "DM", {"16.06.2003", "20,00"}, "4,0000"}});
  WriteStore(fileset::ArchiveBase(wd, "Alpha"), false,
             {{"Archiv X", "444444", "1,0000", "Euro", {"13.06.2003", "10,00"}, ""},
              {"Archiv Y", "555555", "1,0000", "Euro", {"13.06.2003", "20,00"}, ""}});
  WriteStore(fileset::ArchiveBase(wd, "Beta"), false,
             {{"Nur Beta", "666666", "1,0000", "Euro", {"13.06.2003", "30,00"}, ""}});
  WriteStore(fileset::ArchiveBase(wd, "Gamma"), false,
             {{"Archiv Z", "777777", "1,0000", "Euro", {"13.06.2003", "12,50"}, ""}});
  EXPECT_TRUE(WriteListFile(fileset::ProviderList(wd, "Bank"), {"Alpha", "Beta"}).ok());
  EXPECT_TRUE(WriteListFile(fileset::ProviderList(wd, "Kasse"), {"Gamma"}).ok());
  state.workingDirectory = wd;
  state.currentDepot = "Alpha";
  state.currency = "Euro";
  state.depotNames = {"Alpha", "Beta", "Gamma"};
  state.providerNames = {"Bank", "Kasse"};
  state.daxSeries = {"27.06.2003", "3000,00", "30.06.2003", "3030,00"};
  state.moneyMarketRate = 2;
  Load();
}

void TableFixture::Load() {
  const auto& wd = dir.path();
  state.depotStore = RecordStore();
  state.auxiliaryStore = RecordStore();
  EXPECT_TRUE(state.depotStore.Create(fileset::DepotBase(wd, state.currentDepot), 6, fileset::kDepotRowWidths).ok());
  EXPECT_TRUE(state.depotStore.Open().ok());
  EXPECT_TRUE(
      state.auxiliaryStore.Create(fileset::ArchiveBase(wd, state.currentDepot), 2, fileset::kArchiveRowWidths).ok());
  EXPECT_TRUE(state.auxiliaryStore.Open().ok());
  state.fundCount = state.depotStore.RecordCount();
  statistics = std::make_unique<Statistics>(state, calendar);
  statistics->RecomputeStatistics(Scope::DepotFunds);
  statistics->RecomputeStatistics(Scope::AllFunds);
}

}  // namespace tellurio::testing
