// Benchmark of the derived charts on the large data directory: the five
// derived charts of one fund (monthly and yearly averages, monthly and
// yearly performance, the comparison with a second fund), each with its
// series built from the statistics and drawn into a 1,600 x 900 image,
// against the Open of the depot's two stores (depot store and fund archive,
// as a depot is opened) in the same run; the ratio to the depot store
// alone is printed too.
//
//   chart_bench [--dir DIR]

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "analysis/Statistics.h"
#include "bench/BenchUtil.h"
#include "bench/DataGenerator.h"
#include "platform/Clock.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"
#include "views/ChartRenderer.h"
#include "views/chart/DerivedSeries.h"

using namespace tellurio;
using namespace tellurio::bench;
namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  fs::path dir;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--dir") == 0) dir = argv[i + 1];
  if (dir.empty()) dir = fs::temp_directory_path() / "tellurio-bench-charts";
  LargeData data;
  std::printf("Generating %s ...\n", dir.c_str());
  std::fflush(stdout);
  GenerateLargeDataDirectory(dir, data);

  DepotState state;
  state.currency = "Euro";
  state.currencyFactors = {"Euro", "1,00000"};
  auto openDepot = [&] {
    state.depotStore = RecordStore();
    Require(state.depotStore.Create(fileset::DepotBase(dir, data.depot), 6, fileset::kDepotRowWidths));
    Require(state.depotStore.Open());
  };
  auto open = [&] {
    openDepot();
    state.auxiliaryStore = RecordStore();
    Require(state.auxiliaryStore.Create(fileset::ArchiveBase(dir, data.depot), 2, fileset::kArchiveRowWidths));
    Require(state.auxiliaryStore.Open());
  };
  open();  // warm the page cache
  const double openMs = MedianMs(7, open);
  const double openDepotMs = MedianMs(7, openDepot);

  FixedClock clock(CivilDate{2026, 12, 1});
  Calendar calendar(clock);
  Statistics stats(state, calendar);
  stats.RecomputeStatistics(Scope::DepotFunds);
  const std::vector<std::string> funds = FundNames(state.depotStore);
  const std::string fund = funds.at(0), other = funds.at(1);

  QImage image(1600, 900, QImage::Format_RGB32);
  size_t points = 0;
  auto draw = [&](chart::ChartKind kind, const std::vector<std::string>& series, const std::string& otherFund) {
    QPainter p(&image);
    chart::ChartInput in;
    in.kind = kind;
    in.fund = fund;
    in.otherFund = otherFund;
    chart::ScrollState scroll;
    DrawChart(p, image.rect(), in, series, scroll);
    points += series.size() / 2;
  };
  const double chartsMs = MedianMs(15, [&] {
    points = 0;
    const int record = state.depotStore.FindKey(fund);
    for (int k = 0; k < 4; ++k)
      draw(static_cast<chart::ChartKind>(2 + k), stats.DerivedSeriesList(record, Scope::DepotFunds, k), {});
    draw(chart::ChartKind::Comparison,
         chart::ComparisonSeries(stats.DerivedSeriesList(record, Scope::DepotFunds, 0),
                                 stats.DerivedSeriesList(state.depotStore.FindKey(other), Scope::DepotFunds, 0)),
         other);
  });
  const double seriesMs = MedianMs(15, [&] {
    const int record = state.depotStore.FindKey(fund);
    for (int k = 0; k < 4; ++k) (void)stats.DerivedSeriesList(record, Scope::DepotFunds, k);
    (void)chart::ComparisonSeries(stats.DerivedSeriesList(record, Scope::DepotFunds, 0),
                                  stats.DerivedSeriesList(state.depotStore.FindKey(other), Scope::DepotFunds, 0));
  });
  // The least any drawing of five such charts costs: filling five images
  // of that size with their background.
  const double fillMs = MedianMs(15, [&] {
    for (int k = 0; k < 5; ++k) image.fill(Qt::white);
  });
  std::printf("five derived charts of %zu points in all; their series alone %.2f ms\n", points, seriesMs);
  std::printf("filling five 1600 x 900 images with their background alone %.2f ms (%.2f x the Open of both stores)\n\n",
              fillMs, fillMs / openMs);

  Report("Five derived charts, 1600 x 900", chartsMs, "Open of both stores", openMs, 0.1);
  std::printf("%-48s %9.1f ms   (%.2f x the Open of the depot store alone, %.1f ms)\n", "", chartsMs,
              chartsMs / openDepotMs, openDepotMs);
  if (!std::getenv("TELLURIO_BENCH_KEEP")) fs::remove_all(dir);
  return AllTargetsMet() ? 0 : 1;
}
