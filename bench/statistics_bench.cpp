// Benchmark of the fund statistics and the chart drawing on the large data
// directory: RecomputeStatistics of both scopes with the two fund rankings
// the fund lists show, after a command that changed one held and one
// archived fund, and the first one after opening the stores; the whole
// archive table (as the all-funds table reads it) after opening; and a
// long-term chart of 5,000 points into a 1,600 x 900 image, each against
// the Open of the same two stores in the same run.
//
//   statistics_bench [--dir DIR]

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "analysis/Statistics.h"
#include "bench/BenchUtil.h"
#include "bench/DataGenerator.h"
#include "platform/Clock.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"
#include "views/ChartRenderer.h"

using namespace tellurio;
using namespace tellurio::bench;
namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const fs::path dir = BenchDirectory(argc, argv, "statistics");
  LargeData data;
  GenerateLargeDataDirectory(dir, data);

  DepotState state;
  state.currency = "Euro";
  state.currencyFactors = {"Euro", "1,00000"};
  state.moneyMarketRate = 3;
  state.daxSeries = {"27.11.2026", "15000,00", "30.11.2026", "15100,00"};
  auto open = [&] {
    state.depotStore = RecordStore();
    state.auxiliaryStore = RecordStore();
    Require(state.depotStore.Create(fileset::DepotBase(dir, data.depot), 6, fileset::kDepotRowWidths));
    Require(state.depotStore.Open());
    Require(state.auxiliaryStore.Create(fileset::ArchiveBase(dir, data.depot), 2, fileset::kArchiveRowWidths));
    Require(state.auxiliaryStore.Open());
  };
  open();  // warm the page cache
  const double openMs = MedianMs(7, open);

  FixedClock clock(CivilDate{2026, 12, 1});
  Calendar calendar(clock);
  // What the program computes after opening the stores or after a command:
  // both tables (the archive's rows when they are read) and the rankings
  // of the two fund lists.
  auto recompute = [&](Statistics& stats) {
    stats.RecomputeStatistics(Scope::DepotFunds);
    stats.RecomputeStatistics(Scope::AllFunds);
    (void)stats.FundRanking(Scope::DepotFunds);
    (void)stats.FundRanking(Scope::AllFunds);
  };
  // The first recompute after opening reads every held fund's prices and
  // every archived fund's last months; later ones (after a command) compute
  // only the funds the command changed.  The whole archive table reads
  // every archived price.
  std::vector<double> cold, wholeArchive;
  for (int run = 0; run < 5; ++run) {
    open();
    Statistics fresh(state, calendar);
    cold.push_back(MedianMs(1, [&] { recompute(fresh); }));
    wholeArchive.push_back(MedianMs(1, [&] { (void)fresh.Table(Scope::AllFunds); }));
  }
  std::sort(cold.begin(), cold.end());
  std::sort(wholeArchive.begin(), wholeArchive.end());
  const double coldMs = cold[cold.size() / 2], wholeArchiveMs = wholeArchive[wholeArchive.size() / 2];
  Statistics stats(state, calendar);
  recompute(stats);
  // A command changes one held fund and one archived fund, then recomputes.
  int round = 0;
  const std::vector<std::string> held = FundNames(state.depotStore), archived = FundNames(state.auxiliaryStore);
  const double recomputeMs = MedianMs(7, [&] {
    ++round;
    state.depotStore.Select(held[static_cast<size_t>(round) % held.size()]);
    state.depotStore.ReplaceRows(section::kHolding, {"30.11.2026", std::to_string(round) + ",0000"});
    state.auxiliaryStore.Select(archived[static_cast<size_t>(round * 97) % archived.size()]);
    state.auxiliaryStore.ReplaceRows(section::kPrices, {"30.11.2026", std::to_string(10 + round) + ",00"});
    recompute(stats);
  });
  std::printf("%zu depot funds, %zu archived funds, depot value %s\n", stats.Table(Scope::DepotFunds).size(),
              stats.Table(Scope::AllFunds).size(), stats.DepotValue().c_str());

  chart::ChartInput in;
  in.kind = chart::ChartKind::LongTerm;
  in.fund = FundNames(state.depotStore).front();
  const std::vector<std::string> series = PriceRows(state.depotStore, in.fund);
  QImage image(1600, 900, QImage::Format_RGB32);
  const double chartMs = MedianMs(15, [&] {
    QPainter p(&image);
    chart::ScrollState scroll;
    DrawChart(p, image.rect(), in, series, scroll);
  });
  std::printf("chart of %zu points\n\n", series.size() / 2);

  Report("RecomputeStatistics after a command, both", recomputeMs, "Open of both stores", openMs, 1.0);
  std::printf("%-48s %9.1f ms   (%.2f x the Open; every held price, the archive's last months)\n",
              "  the first one after opening the stores", coldMs, coldMs / openMs);
  std::printf("%-48s %9.1f ms   (%.2f x the Open; every archived price, once)\n", "  then the whole archive table",
              wholeArchiveMs, wholeArchiveMs / openMs);
  Report("Long-term chart, 1600 x 900", chartMs, "Open of both stores", openMs, 0.2);
  if (!std::getenv("TELLURIO_BENCH_KEEP")) fs::remove_all(dir);
  return AllTargetsMet() ? 0 : 1;
}
