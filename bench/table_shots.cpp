// Screens of the table pane written to PNG files, so that a change to how
// the pane draws can be checked pixel by pixel (`compare -metric AE`): the
// all-funds table and the depot table of the benchmark's large data
// directory at several scroll positions, scrolled sideways in a narrow pane,
// the depot blocks and company blocks, the savings-plan report (kind 0), a
// table with a character the table font has no glyph for, an empty table
// and no table.
//
//   table_shots [--dir DIR] OUTDIR

#include <QApplication>
#include <QScrollBar>
#include <cstdio>
#include <filesystem>
#include <string>

#include "analysis/Statistics.h"
#include "bench/BenchUtil.h"
#include "bench/TableData.h"
#include "platform/Clock.h"
#include "platform/testing/RecordingPrompter.h"
#include "views/qt/TablePane.h"
#include "views/table/FundTableBuilder.h"
#include "views/table/ReportTable.h"

using namespace tellurio;
using namespace tellurio::bench;
namespace fs = std::filesystem;

namespace {

// Saves the pane's back buffer after scrolling to first (and x sideways).
void Shot(TablePane& pane, const fs::path& out, const std::string& name, int first, int x = 0) {
  pane.VerticalBar()->setValue(first);
  pane.HorizontalBar()->setValue(x);
  pane.Render();
  const fs::path file = out / (name + ".png");
  if (!pane.BackBuffer().save(QString::fromStdString(file.string()))) {
    std::fprintf(stderr, "cannot write %s\n", file.c_str());
    std::exit(1);
  }
  std::printf("%s\n", file.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "table_shots [--dir DIR] OUTDIR\n");
    return 2;
  }
  const fs::path out = argv[argc - 1];
  fs::create_directories(out);
  const fs::path dir = BenchDirectory(argc - 1, argv, "tables");
  DepotState state;
  PrepareTableData(dir, state);
  FixedClock clock(CivilDate{2026, 12, 1});
  Calendar calendar(clock);
  Statistics statistics(state, calendar);
  statistics.RecomputeStatistics(Scope::DepotFunds);
  statistics.RecomputeStatistics(Scope::AllFunds);
  RecordingPrompter prompter;
  DepotStores stores(prompter, calendar);
  auto build = [&](const TableSelection& sel) {
    return std::make_shared<const TextTable>(BuildFundTable(sel, state, statistics, calendar, stores).table);
  };

  TablePane pane;
  pane.resize(1400, 700);
  TableSelection all;
  all.allFunds = true;
  all.separateDepots = false;
  pane.SetTable(build(all));
  Shot(pane, out, "all-0", 0);
  Shot(pane, out, "all-1000", 1000);
  Shot(pane, out, "all-1001", 1001);
  Shot(pane, out, "all-end", 3000);
  all.byCompany = true;
  pane.SetTable(build(all));
  Shot(pane, out, "all-company", 0);

  TableSelection depots;
  pane.SetTable(build(depots));  // separate depot blocks
  Shot(pane, out, "depots-separate-0", 0);
  Shot(pane, out, "depots-separate-40", 40);
  depots.separateDepots = false;
  depots.sort = SortKind::Return;
  pane.SetTable(build(depots));
  Shot(pane, out, "depots-together", 10);
  depots.byCompany = true;
  depots.sort = SortKind::Alphabetical;
  pane.SetTable(build(depots));
  Shot(pane, out, "depots-company", 0);

  // A narrow pane: the sideways bar and cells cut at the pane's edge.
  pane.resize(900, 500);
  Shot(pane, out, "depots-narrow-0", 20, 0);
  Shot(pane, out, "depots-narrow-333", 20, 333);
  Shot(pane, out, "depots-narrow-end", 20, 100000);

  SavingsReport r;
  r.title = "Renditeberechnung des Depots Grossdepot";
  r.lines = {{ReportLineKind::Title, r.title, {}},
             {ReportLineKind::Heading, "Ausgangswerte", {}},
             {ReportLineKind::ColumnHeader, kReportColumnHeader, {}},
             {ReportLineKind::Fund,
              "",
              {"Fonds A", "01.01.2000", "1000,00 Euro", "50,00 Euro", "2,00%", "31.12.", "03.01.2000 - 29.12.2000"}},
             {ReportLineKind::Fund,
              "",
              {"Weltfonds Übersee", "15.03.2001", "0,00 Euro", "125,50 Euro", "0,00%", "", "15.03.2001 - 30.11.2026"}},
             {ReportLineKind::Text, "Tag der monatlichen Abbuchung der Sparrate: 15.", {}},
             {ReportLineKind::Heading, "Ergebis", {}},
             {ReportLineKind::Text, "Investierter Gesamtbetrag: 1550,00 Euro", {}},
             {ReportLineKind::Text, "Wert am Ende des Anlagezeitraums: 1811,23 Euro", {}}};
  pane.resize(1400, 700);
  pane.SetTable(std::make_shared<const TextTable>(SavingsReportTable(r)));
  Shot(pane, out, "report", 0);
  pane.resize(500, 300);
  Shot(pane, out, "report-narrow", 0, 200);

  // Captions, a header line, texts and a cell with a glyph the font lacks.
  TextTable mixed = EmptyFundTable(printkind::kAllFunds, SortKind::Alphabetical);
  mixed.lines = {TableLine::Caption("Überschrift der Gruppe"),
                 TableLine::Header({"A", "B", "C", "D", "E"}),
                 TableLine::Row({"Bank", "Fonds \u6F22 Asien", "12345", "1,00", "-0,50 %"}),
                 TableLine::Row({"Bank", "Fonds Ä Ö Ü ß", "A0B1C2", "1.234,56", "12,00 %"}),
                 TableLine::Blank(),
                 TableLine::Text("Ein freier Text über die ganze Breite"),
                 TableLine::Heading("Ergebis")};
  pane.resize(1400, 400);
  pane.SetTable(std::make_shared<const TextTable>(std::move(mixed)));
  Shot(pane, out, "mixed", 0);
  pane.SetTable(std::make_shared<const TextTable>(EmptyFundTable(printkind::kDepotFunds, SortKind::Return)));
  Shot(pane, out, "empty", 0);
  pane.SetTable(nullptr);
  Shot(pane, out, "none", 0);
  if (!std::getenv("TELLURIO_BENCH_KEEP")) fs::remove_all(dir);
  return 0;
}
