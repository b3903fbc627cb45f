// Benchmark of the derived charts on the large data directory: the five
// derived charts of one fund (monthly and yearly averages, monthly and
// yearly performance, the comparison with a second fund), each with its
// series built from the statistics and drawn into a 1,600 x 900 image,
// against the Open of the depot's two stores (depot store and fund archive,
// as a depot is opened) in the same run; the ratio to the depot store
// alone is printed too.
//
// The machine is shared: the Opens and the charts are measured in turns, so
// that a busy moment weighs on both, and their medians are compared.  The
// spread of the Opens and what the kernel did for their memory meanwhile
// (huge pages handed out, compaction stalls, page faults, from /proc/vmstat
// and getrusage) are printed, so that a reader sees whether the floor was
// disturbed.  Back to back, the series, the layouts and the painting are
// also measured alone.
//
//   chart_bench [--dir DIR]

#include <sys/resource.h>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "analysis/Statistics.h"
#include "bench/BenchUtil.h"
#include "bench/DataGenerator.h"
#include "platform/Clock.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"
#include "views/ChartRenderer.h"
#include "views/chart/DerivedSeries.h"
#include "views/chart/qt/ChartPainter.h"

using namespace tellurio;
using namespace tellurio::bench;
namespace fs = std::filesystem;

namespace {

// The kernel's counters of what it did for memory: huge pages handed out on
// a fault, and direct compactions a fault waited for.  Empty where
// /proc/vmstat cannot be read.
std::map<std::string, long long> MemoryCounters() {
  std::map<std::string, long long> counters;
  if (std::FILE* f = std::fopen("/proc/vmstat", "r")) {
    char name[128];
    long long value = 0;
    while (std::fscanf(f, "%127s %lld", name, &value) == 2)
      if (std::strcmp(name, "thp_fault_alloc") == 0 || std::strcmp(name, "thp_fault_fallback") == 0 ||
          std::strcmp(name, "compact_stall") == 0)
        counters[name] = value;
    std::fclose(f);
  }
  return counters;
}

// What the kernel did for this process so far: minor page faults, major
// ones (a page read from the disk because it was not in the page cache) and
// the time it spent (ms).
struct KernelWork {
  long long minorFaults = 0, majorFaults = 0;
  double ms = 0;
};
KernelWork Kernel() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return {u.ru_minflt, u.ru_majflt, u.ru_stime.tv_sec * 1e3 + u.ru_stime.tv_usec / 1e3};
}

struct Spread {
  double min = 0, median = 0, max = 0;
};
Spread SpreadOf(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {v.front(), v[v.size() / 2], v.back()};
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const fs::path dir = BenchDirectory(argc, argv, "charts");
  LargeData data;
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
  auto fiveCharts = [&] {
    points = 0;
    const int record = state.depotStore.FindKey(fund);
    for (int k = 0; k < 4; ++k)
      draw(static_cast<chart::ChartKind>(2 + k), stats.DerivedSeriesList(record, Scope::DepotFunds, k), {});
    draw(chart::ChartKind::Comparison,
         chart::ComparisonSeries(stats.DerivedSeriesList(record, Scope::DepotFunds, 0),
                                 stats.DerivedSeriesList(state.depotStore.FindKey(other), Scope::DepotFunds, 0)),
         other);
  };
  fiveCharts();  // the fonts' glyphs and widths are measured once per program

  // In turns: the Open of both stores, the five charts, the Open of the
  // depot store alone.
  constexpr int kTurns = 15;
  std::vector<double> openRuns, chartRuns, depotRuns;
  const auto countersBefore = MemoryCounters();
  long long minorFaults = 0, majorFaults = 0;
  std::vector<double> openKernelMs;
  for (int turn = 0; turn < kTurns; ++turn) {
    const KernelWork before = Kernel();
    openRuns.push_back(MedianMs(1, open));
    const KernelWork after = Kernel();
    minorFaults += after.minorFaults - before.minorFaults;
    majorFaults += after.majorFaults - before.majorFaults;
    openKernelMs.push_back(after.ms - before.ms);
    chartRuns.push_back(MedianMs(1, fiveCharts));
    depotRuns.push_back(MedianMs(1, openDepot));
  }
  const auto countersAfter = MemoryCounters();
  const Spread openSpread = SpreadOf(openRuns), chartSpread = SpreadOf(chartRuns);
  const double openMs = openSpread.median, chartsMs = chartSpread.median, openDepotMs = SpreadOf(depotRuns).median;
  const double seriesMs = MedianMs(15, [&] {
    const int record = state.depotStore.FindKey(fund);
    for (int k = 0; k < 4; ++k) (void)stats.DerivedSeriesList(record, Scope::DepotFunds, k);
    (void)chart::ComparisonSeries(stats.DerivedSeriesList(record, Scope::DepotFunds, 0),
                                  stats.DerivedSeriesList(state.depotStore.FindKey(other), Scope::DepotFunds, 0));
  });
  // Back to back, with the image and the series in the caches (in turns,
  // each Open has pushed them out).
  const double warmChartsMs = MedianMs(15, fiveCharts);
  // The least any drawing of five such charts costs: filling five images
  // of that size with their background.
  const double fillMs = MedianMs(15, [&] {
    for (int k = 0; k < 5; ++k) image.fill(Qt::white);
  });
  // The phases back to back, on series built beforehand: laying the five
  // charts out, and painting the laid-out charts (which includes filling
  // the background).
  std::vector<std::vector<std::string>> built;
  {
    const int record = state.depotStore.FindKey(fund);
    for (int k = 0; k < 4; ++k) built.push_back(stats.DerivedSeriesList(record, Scope::DepotFunds, k));
    built.push_back(
        chart::ComparisonSeries(stats.DerivedSeriesList(record, Scope::DepotFunds, 0),
                                stats.DerivedSeriesList(state.depotStore.FindKey(other), Scope::DepotFunds, 0)));
  }
  const QFont titleFont = ChartFont(chart::TitleFont(chart::Medium::Screen));
  const QFont axisFont = ChartFont(chart::AxisFont(chart::Medium::Screen));
  std::vector<chart::ChartLayout> layouts(built.size());
  const double layoutMs = MedianMs(15, [&] {
    const chart::QtTextMetrics titleMetrics(titleFont), axisMetrics(axisFont);
    for (size_t k = 0; k < built.size(); ++k) {
      chart::ChartInput in;
      in.kind = static_cast<chart::ChartKind>(2 + k);
      in.fund = fund;
      in.otherFund = k == 4 ? other : std::string();
      chart::ScrollState scroll;
      layouts[k] = chart::LayoutChart(in, built[k], chart::FromQRect(image.rect()), titleMetrics, axisMetrics, scroll);
    }
  });
  const double paintMs = MedianMs(15, [&] {
    for (const chart::ChartLayout& layout : layouts) {
      QPainter p(&image);
      chart::PaintChart(p, layout, titleFont, axisFont);
    }
  });
  std::printf("five derived charts of %zu points in all; their series alone %.2f ms\n", points, seriesMs);
  std::printf("back to back: their layouts alone %.2f ms, painting the laid-out charts alone %.2f ms\n", layoutMs,
              paintMs);
  std::printf(
      "filling five 1600 x 900 images with their background alone %.2f ms (%.2f x the Open of both stores, %.2f x the "
      "Open of the depot store alone)\n",
      fillMs, fillMs / openMs, fillMs / openDepotMs);
  std::printf(
      "%d turns: Open of both stores min %.1f / median %.1f / max %.1f ms, %lld minor and %lld major page faults per "
      "Open; "
      "five charts min %.2f / median %.2f / max %.2f ms\n",
      kTurns, openSpread.min, openSpread.median, openSpread.max, minorFaults / kTurns, majorFaults / kTurns,
      chartSpread.min, chartSpread.median, chartSpread.max);
  std::printf(
      "Open of both stores, turn by turn, in all and in the kernel (ms, the kernel's counted in scheduler ticks):");
  for (int turn = 0; turn < kTurns; ++turn)
    std::printf(" %.1f/%.1f", openRuns[static_cast<size_t>(turn)], openKernelMs[static_cast<size_t>(turn)]);
  std::printf("\nfive charts back to back, without the Opens in between: median %.2f ms\n", warmChartsMs);
  if (countersBefore.empty()) {
    std::printf("the kernel's memory counters cannot be read here\n");
  } else {
    std::printf("meanwhile the kernel:");
    for (const auto& [name, value] : countersAfter) {
      const auto before = countersBefore.find(name);
      std::printf(" %s +%lld", name.c_str(), value - (before == countersBefore.end() ? 0 : before->second));
    }
    std::printf(" (whole machine)\n");
  }
  std::printf("\n");

  Report("Five derived charts, 1600 x 900", chartsMs, "Open of both stores", openMs, 0.1);
  std::printf("%-48s %9.1f ms   (%.2f x the Open of the depot store alone, %.1f ms)\n", "", chartsMs,
              chartsMs / openDepotMs, openDepotMs);
  if (!std::getenv("TELLURIO_BENCH_KEEP")) fs::remove_all(dir);
  return AllTargetsMet() ? 0 : 1;
}
