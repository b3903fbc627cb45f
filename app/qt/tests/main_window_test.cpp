// The program's own main window and command wiring (ProgramWindow) on a
// prepared working directory: panes placed by the rule, toolbar, menu bar and
// status bar, the window on the screen, the table pane and the command guard,
// commands reaching their operations, and every pane showing exactly the
// current depot after each operation that changes depot or funds.  Saves a
// screenshot (into TELLURIO_SCREENSHOT_DIR when set).

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "acquisition/AcquisitionDialogs.h"
#include "acquisition/PriceAcquisition.h"
#include "app/core/CommandTable.h"
#include "app/core/DocumentBackup.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/ProgramWindow.h"
#include "app/qt/TableCommands.h"
#include "app/tests/FakeShell.h"
#include "backup/BackupCommands.h"
#include "backup/FileLayer.h"
#include "backup/testing/ScriptedBackup.h"
#include "calendar/Calendar.h"
#include "platform/qt/testing/DialogDriver.h"
#include "platform/testing/FakeDrives.h"
#include "platform/testing/TempDir.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"
#include "views/CChildFrame.h"
#include "views/CTellurioView.h"
#include "views/chart/ChartCore.h"
#include "views/qt/TablePane.h"
#include "views/table/tests/ScriptedTableView.h"

namespace tellurio::testing {
namespace {

using Names = std::vector<std::string>;

// A depot store with the funds (30 prices each) and its fund archive.
void WriteDepot(const std::filesystem::path& dir, const std::string& depot, const Names& funds, const Names& archived) {
  auto fill = [](RecordStore& s, const Names& names, int wkn) {
    for (const std::string& n : names) {
      s.AddRecord({n, std::to_string(wkn++), "1,0000", "Euro"});
      std::vector<std::string> rows;
      for (int d = 1; d <= 30; ++d) {
        rows.push_back(Calendar::FormatDate(MakePackedDate(2003, 1 + d / 28, 1 + d % 28)));
        rows.push_back(std::to_string(40 + d % 7) + ",50");
      }
      s.AppendRows(1, rows, 30);
    }
  };
  RecordStore s;
  ASSERT_TRUE(s.Create(dir / depot, 6, fileset::kDepotRowWidths).ok());
  ASSERT_TRUE(s.Open().ok());
  fill(s, funds, 100000);
  ASSERT_TRUE(s.Save().ok());
  RecordStore a;
  ASSERT_TRUE(a.Create(dir / ("n_" + depot), 2, fileset::kArchiveRowWidths).ok());
  ASSERT_TRUE(a.Open().ok());
  fill(a, archived, 200000);
  ASSERT_TRUE(a.Save().ok());
}

// Forty funds in the archive of "Depot A": more than the fund list shows
// at once.
Names ArchiveFunds() {
  Names out;
  for (int i = 0; i < 40; ++i) out.push_back("Archiv " + std::to_string(10 + i));
  return out;
}

struct Program {
  DocFixture f;
  SilentAcquisitionDialogs acquisitionDialogs;
  PriceAcquisition acquisition{acquisitionDialogs, f.web};
  std::unique_ptr<ProgramWindow> window;

  explicit Program(const TableViewServices* tableServices = nullptr) {
    EXPECT_TRUE(WriteListFile(f.dir / "Bank.pls", {"Depot A", "Depot B"}).ok());
    EXPECT_TRUE(WriteListFile(f.dir / "anb.dbk", {"Bank", "Deka"}).ok());
    WriteDepot(f.wd(), "Depot A", {"Alpha-Aktien", "Beta", "Gamma Renten"}, ArchiveFunds());
    WriteDepot(f.wd(), "Depot B", {"Delta", "Epsilon"}, {});
    f.dialogs.depotChoices = {std::string("Depot A")};
    EXPECT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
    acquisition.SetSession(&f.doc);
    window = std::make_unique<ProgramWindow>(f.doc, acquisition, f.prompter, nullptr, tableServices);
    frame().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame()));
  }
  CMainFrame& frame() { return window->frame(); }
  CTellurioView* View(const char* title) {
    CChildFrame* pane = frame().FindPane(QString::fromLatin1(title));
    return pane ? pane->View() : nullptr;
  }
  void Run(int id) { frame().Action(id)->trigger(); }

  // The full names of the tiles the depot pane shows, in their order on the
  // screen: every visible button of the pane counts, not only the ones the
  // pane believes it has.
  Names ShownTiles() {
    std::vector<QPushButton*> shown;
    for (QPushButton* b : View("Fenster3")->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
      if (b->isVisibleTo(View("Fenster3"))) shown.push_back(b);
    std::sort(shown.begin(), shown.end(), [](QPushButton* a, QPushButton* b) {
      return std::make_pair(a->y(), a->x()) < std::make_pair(b->y(), b->x());
    });
    Names out;
    for (QPushButton* b : shown) {
      const std::string tip = b->toolTip().toStdString();
      out.push_back(tip.substr(0, tip.rfind(' ')));  // "name v%"
    }
    return out;
  }
  // The funds of the depot ranking list, by their first column.
  int RankedFunds() { return View("Fenster3")->RankingList()->count(); }
  std::string DepotStatus() {
    return frame().statusBar()->findChild<QLabel*>(QStringLiteral("statusPane1"))->text().toStdString();
  }
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(MainWindow, PanesToolbarAndStatusBar) {
  Program p;
  CMainFrame& frame = p.frame();
  ASSERT_EQ(frame.Panes().size(), 3u);
  const PaneRect client = frame.ClientRect();
  for (const char* t : {"Fenster1", "Fenster2", "Fenster3"}) {
    CChildFrame* pane = frame.FindPane(QString::fromLatin1(t));
    ASSERT_NE(pane, nullptr) << t;
    const PaneRect r = PlacePane(t, client, {});
    EXPECT_EQ(pane->geometry(), QRect(r.left, r.top, r.right - r.left, r.bottom - r.top)) << t;
  }
  // Fenster3 ends where the pane area ends: the rule's 47 pixels are the bars.
  EXPECT_EQ(frame.FindPane(QStringLiteral("Fenster3"))->geometry().bottom() + 1, frame.centralWidget()->height());
  EXPECT_EQ(frame.ToolBar()->actions().size(), static_cast<int>(StandardToolbar().size()));
  auto* depot = frame.statusBar()->findChild<QLabel*>(QStringLiteral("statusPane1"));
  auto* currency = frame.statusBar()->findChild<QLabel*>(QStringLiteral("statusPane2"));
  auto* date = frame.statusBar()->findChild<QLabel*>(QStringLiteral("statusPane3"));
  EXPECT_EQ(depot->text(), QStringLiteral("aktuelles Depot: Depot A"));
  EXPECT_EQ(currency->text(), QStringLiteral("aktuelle Währung: DM"));
  EXPECT_EQ(date->text(), QStringLiteral("Datum: 05.03.2003"));
  // At least the given widths; wider only where the text would be cut.
  EXPECT_GE(depot->width(), 175);
  EXPECT_GE(date->width(), 100);
  EXPECT_GE(depot->width(), depot->fontMetrics().horizontalAdvance(depot->text()));
  EXPECT_GE(currency->width(), currency->fontMetrics().horizontalAdvance(currency->text()));

  // Resizing places the panes again.
  frame.showNormal();
  ASSERT_TRUE(QTest::qWaitFor([&frame] { return !frame.isMaximized(); }));
  frame.resize(700, 500);
  const auto placed = [&frame] {
    const PaneRect r = PlacePane("Fenster2", frame.ClientRect(), {});
    return frame.width() == 700 && frame.FindPane(QStringLiteral("Fenster2"))->width() == r.right - r.left;
  };
  ASSERT_TRUE(QTest::qWaitFor(placed));

  frame.SetChartToolbar(true);
  EXPECT_EQ(frame.ToolBar()->actions().size(), static_cast<int>(ChartToolbar().size()));
  frame.SetChartToolbar(false);

  if (const char* dir = std::getenv("TELLURIO_SCREENSHOT_DIR"))
    frame.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/main_window.png"));
}

// The test screen (800 x 600) is smaller than the window would like to be;
// the whole window, frame and status bar included, stays on it.
TEST(MainWindow, FitsTheScreenWithItsStatusBarVisible) {
  Program p;
  const QRect screen = p.frame().screen()->availableGeometry();
  ASSERT_TRUE(QTest::qWaitFor([&] { return screen.contains(p.frame().frameGeometry()); }))
      << p.frame().frameGeometry().width() << "x" << p.frame().frameGeometry().height();
  QStatusBar* bar = p.frame().statusBar();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_TRUE(screen.contains(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size())));

  EXPECT_EQ(FitMainWindow({0, 0, 1024, 600}, {4, 28, 4, 4}), (PaneRect{4, 28, 1020, 596}));
  EXPECT_EQ(FitMainWindow({100, 50, 110, 60}, {4, 28, 4, 4}), (PaneRect{104, 78, 106, 79}));
}

// Items placed directly on the menu bar would show their toolbar icon in
// place of the text.
TEST(MainWindow, TheMenuBarShowsTextsOnly) {
  Program p;
  QStringList texts;
  for (QAction* a : p.frame().menuBar()->actions()) {
    EXPECT_FALSE(a->text().isEmpty());
    EXPECT_TRUE(a->icon().isNull()) << a->text().toStdString();
    texts << a->text();
  }
  EXPECT_EQ(texts, (QStringList{"&Depots", "&Fonds", "&Anteile", "&Werteeingabe", "&Sparpläne", "&Ende", "&?"}));
  // "&Ende" on the menu bar ends the program.
  p.frame().menuBar()->actions()[5]->trigger();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !p.frame().isVisible(); }));
}

// The table view with its dialogs scripted and a printer that records.
struct TableDoubles {
  ScriptedTableDialogs dialogs;
  RecordingPrinter printer;
  TableViewServices services{dialogs, printer};
};
struct TableProgram : TableDoubles, Program {
  TableProgram() : Program(&services) {}
  TablePane* Pane() {
    CTellurioView* view = View("Fenster4");
    return view ? FindTablePane(view) : nullptr;
  }
};

TEST(MainWindow, TheTablePaneComesAndGoesAndGuardsTheCommands) {
  TableProgram p;
  p.dialogs.tables.push_back([](TableSelectionRules& r) {
    r.ChooseSort(SortKind::Alphabetical);
    return std::optional<TableSelection>(r.Ok({}));
  });
  p.f.prompter.Clear();
  p.Run(cmd::kTableToggle);
  ASSERT_NE(p.frame().FindPane(QStringLiteral("Fenster4")), nullptr);
  ASSERT_NE(p.Pane(), nullptr);
  ASSERT_NE(p.Pane()->Table(), nullptr);
  // Both depots, each fund once, by name.
  std::vector<std::string> names;
  for (const TableLine& l : p.Pane()->Table()->lines) names.push_back(l.At(depotcol::kName));
  EXPECT_EQ(names, (Names{"Alpha-Aktien", "Beta", "Gamma Renten", "Delta", "Epsilon"}));
  EXPECT_TRUE(p.Pane()->isVisible());
  // Nothing of the chart panes beneath shows through the raised table pane:
  // the window shows the pane exactly as the pane draws itself.
  CChildFrame* tableFrame = p.frame().FindPane(QStringLiteral("Fenster4"));
  const QImage alone = tableFrame->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRect where(tableFrame->mapTo(&p.frame(), QPoint(0, 0)), tableFrame->size());
  EXPECT_TRUE(p.frame().grab(where).toImage().convertToFormat(QImage::Format_RGB32) == alone)
      << "the main window shows other pixels where the table pane lies";
  EXPECT_TRUE(p.frame().Action(cmd::kPrint)->isEnabled());
  p.f.prompter.Clear();
  p.Run(cmd::kBuy);
  EXPECT_EQ(p.f.prompter.Last().text, "Sie können diese Option nur in der Chartansicht nutzen!");

  // Printing prints the table shown, and the table pane is active again.
  p.Run(cmd::kPrint);
  ASSERT_EQ(p.printer.jobs.size(), 1u);
  EXPECT_EQ(p.printer.jobs[0].kind, printkind::kDepotFunds);
  EXPECT_EQ(p.printer.jobs[0].table, p.Pane()->Table());
  EXPECT_TRUE(QTest::qWaitFor([&p] { return p.Pane()->hasFocus(); }));

  p.Run(cmd::kTableToggle);
  EXPECT_EQ(p.frame().FindPane(QStringLiteral("Fenster4")), nullptr);
  EXPECT_FALSE(p.frame().Action(cmd::kPrint)->isEnabled());
  EXPECT_EQ(p.frame().Panes().size(), 3u);
  EXPECT_EQ(p.f.doc.State().currentDepot, "Depot A") << "building the table leaves the depot current";
}

// The report of the return calculation switches the table view on with the
// report in the pane, without the table selection, and prints from there.
TEST(MainWindow, TheSavingsReportIsShownInTheTablePane) {
  TableProgram p;
  SavingsReport r;
  r.title = "Renditeberechnung des Fonds Beta";
  r.lines = {{ReportLineKind::Title, r.title, {}},
             {ReportLineKind::Heading, "Ergebis", {}},
             {ReportLineKind::Text, "Gewinn: 10,00 Euro", {}}};
  p.window->tables().ShowReport(r);
  EXPECT_EQ(p.window->flags().tableViewOn, 1);
  ASSERT_NE(p.Pane(), nullptr);
  ASSERT_NE(p.Pane()->Table(), nullptr);
  EXPECT_EQ(p.Pane()->Table()->kind, printkind::kReport);
  EXPECT_EQ(p.Pane()->Table()->title, r.title);
  p.Run(cmd::kPrint);
  ASSERT_EQ(p.printer.jobs.size(), 1u);
  EXPECT_EQ(p.printer.jobs[0].kind, printkind::kReport);
  EXPECT_FALSE(p.printer.jobs[0].landscape);
  p.Run(cmd::kTableToggle);
  EXPECT_EQ(p.window->flags().tableViewOn, 0);
}

// Guards against the toggle that locked the program: after a cancelled
// choice the pane is empty, the same button switches it off, and every
// command runs again.
TEST(MainWindow, ACancelledTableChoiceLeavesAnEmptyPaneAndTheToggleStillWorks) {
  TableProgram p;
  p.Run(cmd::kTableToggle);
  ASSERT_NE(p.Pane(), nullptr);
  EXPECT_EQ(p.Pane()->Table(), nullptr);
  EXPECT_EQ(p.window->flags().tableViewOn, 1);
  p.Run(cmd::kTableToggle);
  EXPECT_EQ(p.window->flags().tableViewOn, 0);
  EXPECT_EQ(p.frame().FindPane(QStringLiteral("Fenster4")), nullptr);
  QString shown;
  WhenShown([&shown] { shown = ActiveDialog()->windowTitle(); });
  p.Run(cmd::kBuy);
  EXPECT_TRUE(shown.startsWith(QStringLiteral("Fondanteile kaufen"))) << shown.toStdString();
}

// The program's bindings, not a wiring of the test's own: each command opens
// the dialog of its operation; one of a subsystem not built yet says so.
TEST(MainWindow, TheCommandsReachTheirOperations) {
  Program p;
  const std::pair<int, const char*> dialogs[] = {{cmd::kBuy, "Fondanteile kaufen"},
                                                 {cmd::kSell, "Verkauf von Fondanteilen"},
                                                 {cmd::kNewFund, "neuen Fond in das Depot übernehmen"},
                                                 {cmd::kManualPrices, "Werteeingabe"},
                                                 {cmd::kSavingsPlans, "Renditeberechnung"},
                                                 {cmd::kAbout, "Info über Tellurio"}};
  for (const auto& [id, title] : dialogs) {
    QString shown;
    WhenShown([&shown] { shown = ActiveDialog()->windowTitle(); });
    p.Run(id);
    EXPECT_TRUE(shown.startsWith(QString::fromUtf8(title))) << id << ": " << shown.toStdString();
    // Back in the main window once the dialog is gone.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &p.frame(); })) << id;
    EXPECT_TRUE(p.frame().isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == &p.frame()) << id;
  }
  p.f.prompter.Clear();
  p.Run(cmd::kBackup);
  EXPECT_EQ(p.f.prompter.Last().title, "Hinweis");
  EXPECT_TRUE(Contains(p.f.prompter.Last().text, "noch nicht verfügbar"));
}

// The derived chart commands through the program's wiring: the monthly
// averages of the selected fund (January and February 2003) in the chart
// pane, and dialog "Fond für den Vergleichschart wählen" offering the
// depot's funds.  Comparing two funds of one price curve over two months
// leaves one month, which is not drawn.
TEST(MainWindow, TheDerivedChartsReachTheChartPaneAndTheComparisonDialog) {
  Program p;
  p.f.doc.SelectFund("Beta");
  p.Run(cmd::kMonthlyAverages);
  CTellurioView* chart = p.View("Fenster1");
  ASSERT_TRUE(chart->ChartActive());
  EXPECT_EQ(chart->Kind(), chart::ChartKind::MonthlyAverages);
  EXPECT_EQ(chart->Layout().title, "Monatliche Mitelwerte des Fonds Beta");
  EXPECT_EQ(chart->Series().size(), 4u);
  EXPECT_TRUE(p.frame().Action(cmd::kZoomIn)->isEnabled());

  Names offered;
  WhenShown([&offered] {
    EXPECT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Fond für den Vergleichschart wählen"));
    auto* list = DialogChild<QListWidget>("funds");
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < list->count(); ++i) offered.push_back(list->item(i)->text().toStdString());
    emit list->itemDoubleClicked(list->item(0));
    DialogChild<QPushButton>("ok")->click();
  });
  p.Run(cmd::kCompareFunds);
  EXPECT_EQ(offered, (Names{"Alpha-Aktien", "Beta", "Gamma Renten"}));
  EXPECT_FALSE(chart->ChartActive()) << "one month of comparison: the pane stays empty";
  EXPECT_TRUE(p.f.prompter.Messages().empty());
}

// After every operation that changes the depot or its funds each pane shows
// that depot and nothing else: the tiles, the ranking, the totals, the
// ticker and the status bar.
TEST(MainWindow, EveryPaneShowsExactlyTheCurrentDepot) {
  Program p;
  EXPECT_EQ(p.ShownTiles(), (Names{"Alpha-Aktien", "Beta", "Gamma Renten"}));
  EXPECT_EQ(p.RankedFunds(), 3);

  p.f.dialogs.depotChoices = {std::string("Depot B")};
  p.Run(cmd::kSwitchDepot);
  EXPECT_EQ(p.ShownTiles(), (Names{"Delta", "Epsilon"}));
  EXPECT_EQ(p.RankedFunds(), 2);
  EXPECT_EQ(p.DepotStatus(), "aktuelles Depot: Depot B");
  EXPECT_TRUE(Contains(p.f.doc.TickerText(), "Delta"));
  EXPECT_FALSE(Contains(p.f.doc.TickerText(), "Beta"));
  EXPECT_EQ(p.View("Fenster2")->FundList()->count(), 0) << "Depot B has no fund archive";

  p.f.dialogs.newDepots = {NewDepotChoice{"Depot C", "Bank"}};
  p.Run(cmd::kNewDepot);
  EXPECT_TRUE(p.ShownTiles().empty());
  EXPECT_EQ(p.RankedFunds(), 0);
  EXPECT_EQ(p.View("Fenster3")->TotalsList()->count(), 2);
  EXPECT_EQ(p.f.doc.TickerText(), "");
  EXPECT_EQ(p.DepotStatus(), "aktuelles Depot: Depot C");

  p.f.dialogs.depotChoices = {std::string("Depot A")};
  p.Run(cmd::kSwitchDepot);
  EXPECT_EQ(p.ShownTiles(), (Names{"Alpha-Aktien", "Beta", "Gamma Renten"}));

  p.f.dialogs.deleteChoices = {std::string("Depot C")};
  p.Run(cmd::kDeleteDepot);
  EXPECT_EQ(p.ShownTiles(), (Names{"Alpha-Aktien", "Beta", "Gamma Renten"}));

  // Deleting "Beta" in the real dialog: double click, OK, Yes.
  p.f.prompter.Script({Answer::Yes});
  WhenShown([] {
    auto* list = DialogChild<QListWidget>("funds");
    ASSERT_NE(list, nullptr);
    QListWidgetItem* beta = list->findItems(QStringLiteral("Beta"), Qt::MatchExactly).value(0);
    ASSERT_NE(beta, nullptr);
    const QPoint at = list->visualItemRect(beta).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    DialogChild<QPushButton>("ok")->click();
  });
  p.Run(cmd::kDeleteFund);
  EXPECT_EQ(p.ShownTiles(), (Names{"Alpha-Aktien", "Gamma Renten"}));
  EXPECT_EQ(p.RankedFunds(), 2);
  EXPECT_FALSE(Contains(p.f.doc.TickerText(), "Beta"));
  EXPECT_EQ(p.f.prompter.UnscriptedQuestions(), 0);
}

// A restore replaces the files under the running program and makes the
// first listed depot current: every pane then shows that depot, whichever
// it is, and a depot deleted since the backup is back.
TEST(MainWindow, AfterARestoreEveryPaneShowsTheDepotThatIsCurrent) {
  Program p;
  TempDir stick;
  FakeDrives drives;
  drives.drives = {Drive{stick.path(), DriveType::Removable, false}};
  backup::testing::ScriptedBackupDialogs dialogs;
  backup::PosixFileLayer files;
  backup::BackupCommands commands(dialogs, p.f.prompter, drives, files);
  DocumentBackup documentBackup(p.f.doc, commands);
  dialogs.backupChoices = {stick.path()};
  documentBackup.Backup();
  ASSERT_TRUE(std::filesystem::exists(stick / "Vater" / "Depot B.dat"));

  p.f.dialogs.deleteChoices = {std::string("Depot B")};
  p.Run(cmd::kDeleteDepot);
  ASSERT_FALSE(std::filesystem::exists(p.f.dir / "Depot B.dat"));

  dialogs.restoreChoices = {stick.path()};
  documentBackup.Restore();
  EXPECT_TRUE(std::filesystem::exists(p.f.dir / "Depot B.dat"));
  const std::string current = p.f.doc.State().currentDepot;
  const Names expected =
      current == "Depot B" ? Names{"Delta", "Epsilon"} : Names{"Alpha-Aktien", "Beta", "Gamma Renten"};
  EXPECT_EQ(p.ShownTiles(), expected) << current;
  EXPECT_EQ(p.RankedFunds(), static_cast<int>(expected.size()));
  EXPECT_EQ(p.DepotStatus(), "aktuelles Depot: " + current);
  for (const std::string& fund : expected) EXPECT_TRUE(Contains(p.f.doc.TickerText(), fund)) << fund;
}

// Choosing a fund, by its tile or by a line of the list of all funds, draws
// its long-term chart once, not again for each pane the choice updates.
// The draw counter is read after the chart pane has been painted with the
// chosen fund, when all the choice's work is done.
TEST(MainWindow, ChoosingAFundDrawsItsChartOnce) {
  Program p;
  CTellurioView* chart = p.View("Fenster1");
  struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++paints;
      return false;
    }
  } watch;
  chart->installEventFilter(&watch);
  auto chooseAndCount = [&](const std::function<void()>& click, const std::string& fund) {
    const int draws = chart->ChartDrawCount();
    watch.paints = 0;
    click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.f.doc.State().selectedFund == fund && watch.paints > 0; })) << fund;
    EXPECT_TRUE(chart->ChartActive());
    EXPECT_EQ(chart->Layout().title, "Langfristchart des Fonds " + fund);
    return chart->ChartDrawCount() - draws;
  };
  const std::vector<QPushButton*>& tiles = p.View("Fenster3")->Tiles();
  ASSERT_EQ(tiles.size(), 3u);
  EXPECT_EQ(chooseAndCount([&] { QTest::mouseClick(tiles[1], Qt::LeftButton); }, "Beta"), 1);
  EXPECT_EQ(chooseAndCount([&] { QTest::mouseClick(tiles[2], Qt::LeftButton); }, "Gamma Renten"), 1);

  QListWidget* list = p.View("Fenster2")->FundList();
  QListWidgetItem* line = list->item(3);
  const std::string fund = p.View("Fenster2")->FundListFund(3);
  const QPoint at = list->visualItemRect(line).center();
  EXPECT_EQ(chooseAndCount([&] { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); }, fund), 1);

  // What changes the picture still draws it again: a new size.
  const int before = chart->ChartDrawCount();
  p.frame().resize(p.frame().width() - 40, p.frame().height());
  EXPECT_TRUE(QTest::qWaitFor([&] { return chart->ChartDrawCount() > before; }));
  EXPECT_EQ(chart->BackBuffer().size(), chart->size());
  chart->removeEventFilter(&watch);
}

// A double click on a line of the fund list that is not selected yet takes
// the fund over: the first click selects it and updates the panes, and the
// line must still be where the second click lands.
TEST(MainWindow, ADoubleClickOnAnUnselectedFundTakesItOver) {
  Program p;
  QListWidget* list = p.View("Fenster2")->FundList();
  ASSERT_EQ(list->count(), 40);
  list->scrollToBottom();
  QListWidgetItem* last = list->item(list->count() - 1);
  const std::string fund = p.View("Fenster2")->FundListFund(list->count() - 1);
  const QPoint at = list->visualItemRect(last).center();
  ASSERT_TRUE(list->viewport()->rect().contains(at));
  ASSERT_FALSE(last->isSelected());

  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.f.doc.State().selectedFund == fund; }));
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.ShownTiles().size() == 4u; }));
  EXPECT_EQ(p.ShownTiles().back(), fund);
  EXPECT_TRUE(Contains(p.f.doc.TickerText(), fund));
  EXPECT_EQ(list->count(), 39) << "the fund left the archive";
}

}  // namespace
}  // namespace tellurio::testing
