#include "bench/TableData.h"

#include "bench/BenchUtil.h"
#include "bench/DataGenerator.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

namespace tellurio::bench {

void OpenStore(RecordStore& s, const std::filesystem::path& base, bool depot) {
  s = RecordStore();
  Require(s.Create(base, depot ? 6 : 2, depot ? fileset::kDepotRowWidths : fileset::kArchiveRowWidths));
  Require(s.Open());
}

void PrepareTableData(const std::filesystem::path& dir, DepotState& state) {
  for (const char* depot : kTableDepots) {
    LargeData data;
    data.depot = depot;
    GenerateLargeDataDirectory(dir, data);
  }
  Require(WriteListFile(fileset::ProviderList(dir, kTableProvider), {kTableDepots[0], kTableDepots[1]}));
  state.workingDirectory = dir;
  state.currentDepot = kTableDepots[0];
  state.currency = "Euro";
  state.currencyFactors = {"Euro", "1,00000"};
  state.moneyMarketRate = 3;
  state.daxSeries = {"27.11.2026", "15000,00", "30.11.2026", "15100,00"};
  state.depotNames = {kTableDepots[0], kTableDepots[1]};
  state.providerNames = {kTableProvider};
  OpenStore(state.depotStore, fileset::DepotBase(dir, kTableDepots[0]), true);
  OpenStore(state.auxiliaryStore, fileset::ArchiveBase(dir, kTableDepots[0]), false);
}

}  // namespace tellurio::bench
