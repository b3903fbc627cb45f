// Benchmark of the table view and printing on the large data directory: one
// provider with two depots, each with 50 held funds of 5,000 prices and a
// fund archive of 3,000 funds with 781 prices.  The first depot is current,
// its statistics computed, as in the program before the table view opens.
//
//   all-funds table   build and sort (the archive of the provider's first
//                     depot), against Open of that archive store;
//   depot table       build and sort (the second depot read from its files,
//                     its statistics computed), against Open of both depot
//                     stores (and, for comparison, of all four stores that
//                     making each depot current would read);
//   one screen        drawing one screen of the all-funds table (1400 x 700)
//                     into the pane's back buffer, against the same Open;
//   price list        printing the 5,000 prices of one fund to a PDF file:
//                     time and page count.
//
//   table_bench [--dir DIR]

#include <QApplication>
#include <QPrinter>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "analysis/Statistics.h"
#include "bench/BenchUtil.h"
#include "bench/TableData.h"
#include "platform/Clock.h"
#include "platform/testing/RecordingPrompter.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"
#include "views/qt/QtPrintService.h"
#include "views/qt/TablePane.h"
#include "views/table/FundTableBuilder.h"
#include "views/table/PrintItems.h"

using namespace tellurio;
using namespace tellurio::bench;
namespace fs = std::filesystem;

namespace {

double Median(std::vector<double> runs) {
  std::sort(runs.begin(), runs.end());
  return runs.empty() ? 0 : runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const fs::path dir = BenchDirectory(argc, argv, "tables");
  DepotState state;
  PrepareTableData(dir, state);
  FixedClock clock(CivilDate{2026, 12, 1});
  Calendar calendar(clock);
  Statistics statistics(state, calendar);
  statistics.RecomputeStatistics(Scope::DepotFunds);
  statistics.RecomputeStatistics(Scope::AllFunds);

  // The floors (Open of the stores each table involves) and the work are
  // measured in turns, so that a busy moment of the shared machine weighs
  // on both, and the medians are compared.
  TableSelection all;
  all.allFunds = true;
  all.separateDepots = false;
  TableSelection depots;
  depots.separateDepots = false;
  FundTableResult allTable, depotTable;
  RecordingPrompter prompter;  // the data are sound: nothing to report
  DepotStores stores(prompter, calendar);
  RecordStore scratch, scratch2, scratch3, scratch4;
  OpenStore(scratch, fileset::ArchiveBase(dir, kTableDepots[0]), false);  // warm the page cache
  std::vector<double> openArchiveRuns, openDepotsRuns, openFourRuns, allRuns, depotRuns;
  for (int run = 0; run < 15; ++run) {
    openArchiveRuns.push_back(
        MedianMs(1, [&] { OpenStore(scratch, fileset::ArchiveBase(dir, kTableDepots[0]), false); }));
    scratch = RecordStore();
    allRuns.push_back(MedianMs(1, [&] { allTable = BuildFundTable(all, state, statistics, calendar, stores); }));
    openDepotsRuns.push_back(MedianMs(1, [&] {
      OpenStore(scratch, fileset::DepotBase(dir, kTableDepots[0]), true);
      OpenStore(scratch2, fileset::DepotBase(dir, kTableDepots[1]), true);
    }));
    scratch = RecordStore();
    scratch2 = RecordStore();
    depotRuns.push_back(MedianMs(1, [&] { depotTable = BuildFundTable(depots, state, statistics, calendar, stores); }));
    // What the table's procedure of making each depot current in turn
    // reads: both stores of both depots.
    if (run % 3 == 0) {
      openFourRuns.push_back(MedianMs(1, [&] {
        OpenStore(scratch, fileset::DepotBase(dir, kTableDepots[0]), true);
        OpenStore(scratch2, fileset::ArchiveBase(dir, kTableDepots[0]), false);
        OpenStore(scratch3, fileset::DepotBase(dir, kTableDepots[1]), true);
        OpenStore(scratch4, fileset::ArchiveBase(dir, kTableDepots[1]), false);
      }));
      scratch = RecordStore();
      scratch2 = RecordStore();
      scratch3 = RecordStore();
      scratch4 = RecordStore();
    }
  }
  // Where the depot table's time goes: the second depot's store read from
  // its files, and the statistics of its funds computed (as the table does,
  // without the weekly figures), each measured alone.
  std::vector<double> openSecondRuns, statsSecondRuns;
  {
    DepotState second;
    second.workingDirectory = state.workingDirectory;
    second.currentDepot = kTableDepots[1];
    second.currency = state.currency;
    second.currencyFactors = state.currencyFactors;
    second.daxSeries = state.daxSeries;
    second.moneyMarketRate = state.moneyMarketRate;
    OpenStore(second.depotStore, fileset::DepotBase(dir, kTableDepots[1]), true);
    for (int run = 0; run < 9; ++run) {
      openSecondRuns.push_back(
          MedianMs(1, [&] { OpenStore(scratch, fileset::DepotBase(dir, kTableDepots[1]), true); }));
      scratch = RecordStore();
      statsSecondRuns.push_back(MedianMs(1, [&] {
        Statistics fresh(second, calendar);
        fresh.RecomputeWithoutWeekly(Scope::DepotFunds);
      }));
    }
  }
  const double openArchiveMs = Median(openArchiveRuns), openDepotsMs = Median(openDepotsRuns),
               openFourMs = Median(openFourRuns), allMs = Median(allRuns), depotMs = Median(depotRuns);
  std::printf("all-funds table: %zu rows, depot table: %zu rows\n", allTable.table.lines.size(),
              depotTable.table.lines.size());

  auto shared = std::make_shared<const TextTable>(allTable.table);
  TablePane pane;
  pane.resize(1400, 700);
  const double measureMs = MedianMs(5, [&] { pane.SetTable(shared); });
  pane.VerticalBar()->setValue(1000);
  // One screen against the Open of the archive, again in turns.
  std::vector<double> screenRuns, openForScreenRuns;
  for (int run = 0; run < 15; ++run) {
    openForScreenRuns.push_back(
        MedianMs(1, [&] { OpenStore(scratch, fileset::ArchiveBase(dir, kTableDepots[0]), false); }));
    scratch = RecordStore();
    screenRuns.push_back(MedianMs(1, [&] { pane.Render(); }));
  }
  const double screenMs = Median(screenRuns), openForScreenMs = Median(openForScreenRuns);
  // The same screen drawn again and again, the buffer and the glyphs in the
  // caches: what the drawing itself costs.
  const double warmScreenMs = MedianMs(15, [&] { pane.Render(); });
  std::printf("one screen shows %zu rows\n", pane.Paging().Visible());

  const std::string fund = FundNames(state.depotStore).front();
  const TextTable prices = PricesTable(fund, "Euro", PriceRows(state.depotStore, fund));
  const fs::path pdf = dir / "kurse.pdf";
  int pages = 0;
  const double printMs = MedianMs(3, [&] {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    pages = PrintJobOn(printer, TableViewController::TableJob(std::make_shared<const TextTable>(prices)), "01.12.2026");
  });
  std::printf("\n");
  Report("All-funds table, build and sort", allMs, "Open of the archive store", openArchiveMs, 1.0);
  Report("Depot table, build and sort", depotMs, "Open of both depot stores", openDepotsMs, 1.0);
  std::printf("%-48s %9.1f ms   (%.2f x Open of all four stores of the two depots, %.1f ms)\n",
              "  the depot table once more", depotMs, depotMs / openFourMs, openFourMs);
  std::printf("%-48s %9.1f ms   (Open of the second depot's store %.1f ms, statistics of its funds %.1f ms)\n",
              "  where the depot table's time goes", depotMs, Median(openSecondRuns), Median(statsSecondRuns));
  Report("One screen of the all-funds table", screenMs, "Open of the archive store", openForScreenMs, 0.05);
  std::printf("%-48s %9.2f ms   (ratio %.3f; drawn back to back %.2f ms)\n", "  the screen to the hundredth", screenMs,
              screenMs / openForScreenMs, warmScreenMs);
  std::printf("%-48s %9.1f ms   (once per table: column widths of %zu rows)\n", "  measuring the columns", measureMs,
              allTable.table.lines.size());
  std::printf("%-48s %9.1f ms   %d pages, %zu prices\n", "Price list of one fund to PDF", printMs, pages,
              prices.lines.size());

  // For comparison: the all-funds table with the second depot current, so
  // that the archive of the first is read from its files and its statistics
  // computed.
  state.currentDepot = kTableDepots[1];
  OpenStore(state.depotStore, fileset::DepotBase(dir, kTableDepots[1]), true);
  OpenStore(state.auxiliaryStore, fileset::ArchiveBase(dir, kTableDepots[1]), false);
  Statistics second(state, calendar);
  second.RecomputeStatistics(Scope::DepotFunds);
  second.RecomputeStatistics(Scope::AllFunds);
  const double coldMs = MedianMs(3, [&] { allTable = BuildFundTable(all, state, second, calendar, stores); });
  std::printf("%-48s %9.1f ms   (%.2f x the Open; another depot current)\n", "  all-funds table read from the files",
              coldMs, coldMs / openArchiveMs);
  if (!std::getenv("TELLURIO_BENCH_KEEP")) fs::remove_all(dir);
  return AllTargetsMet() ? 0 : 1;
}
