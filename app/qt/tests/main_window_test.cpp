// The real main window on a prepared working directory: panes placed by the
// rule, toolbar and status bar, the table pane and the command guard; saves a
// screenshot (into TELLURIO_SCREENSHOT_DIR when set).

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <cstdlib>

#include "app/core/CommandTable.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/ShellCommands.h"
#include "app/qt/TableCommands.h"
#include "app/tests/FakeShell.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"
#include "views/CChildFrame.h"
#include "views/CTellurioView.h"
#include "views/qt/TablePane.h"
#include "views/table/tests/ScriptedTableView.h"

namespace tellurio::testing {
namespace {

struct Window {
  DocFixture f;
  AppFlags flags;
  CommandTable commands{flags, f.prompter};
  std::unique_ptr<CMainFrame> frame;

  Window() {
    WriteListFile(f.dir / "Bank.pls", {"Depot"});
    WriteListFile(f.dir / "anb.dbk", {"Bank", "Deka"});
    RecordStore s;
    s.Create(f.dir / "Depot", 6, fileset::kDepotRowWidths);
    s.Open();
    s.AddRecord({"Deka-Fonds", "847451", "1,0500", "Euro"});
    s.AppendRows(1, {"04.03.2003", "41,20"}, 1);
    s.Save();
    f.dialogs.depotChoices = {std::string("Depot")};
    EXPECT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
    frame = std::make_unique<CMainFrame>(flags, commands);
    frame->AttachDocument(&f.doc);
    BindShellCommands(commands, f.doc, *frame);
    frame->resize(1200, 860);
    frame->show();
    QTest::qWait(50);
  }
};

TEST(MainWindow, PanesToolbarAndStatusBar) {
  Window w;
  ASSERT_EQ(w.frame->Panes().size(), 3u);
  const PaneRect client = w.frame->ClientRect();
  for (const char* t : {"Fenster1", "Fenster2", "Fenster3"}) {
    CChildFrame* pane = w.frame->FindPane(QString::fromLatin1(t));
    ASSERT_NE(pane, nullptr) << t;
    const PaneRect r = PlacePane(t, client, {});
    EXPECT_EQ(pane->geometry(), QRect(r.left, r.top, r.right - r.left, r.bottom - r.top)) << t;
  }
  // Fenster3 ends where the pane area ends: the rule's 47 pixels are the bars.
  EXPECT_EQ(w.frame->FindPane(QStringLiteral("Fenster3"))->geometry().bottom() + 1, w.frame->centralWidget()->height());
  EXPECT_EQ(w.frame->ToolBar()->actions().size(), static_cast<int>(StandardToolbar().size()));
  auto* depot = w.frame->statusBar()->findChild<QLabel*>(QStringLiteral("statusPane1"));
  auto* currency = w.frame->statusBar()->findChild<QLabel*>(QStringLiteral("statusPane2"));
  auto* date = w.frame->statusBar()->findChild<QLabel*>(QStringLiteral("statusPane3"));
  EXPECT_EQ(depot->text(), QStringLiteral("aktuelles Depot: Depot"));
  EXPECT_EQ(currency->text(), QStringLiteral("aktuelle Währung: DM"));
  EXPECT_EQ(date->text(), QStringLiteral("Datum: 05.03.2003"));
  // At least the given widths; wider only where the text would be cut.
  EXPECT_GE(depot->width(), 175);
  EXPECT_GE(date->width(), 100);
  EXPECT_GE(depot->width(), depot->fontMetrics().horizontalAdvance(depot->text()));
  EXPECT_GE(currency->width(), currency->fontMetrics().horizontalAdvance(currency->text()));

  // Resizing places the panes again.
  w.frame->resize(900, 700);
  QTest::qWait(20);
  const PaneRect r = PlacePane("Fenster2", w.frame->ClientRect(), {});
  EXPECT_EQ(w.frame->FindPane(QStringLiteral("Fenster2"))->width(), r.right - r.left);

  w.frame->SetChartToolbar(true);
  EXPECT_EQ(w.frame->ToolBar()->actions().size(), static_cast<int>(ChartToolbar().size()));
  w.frame->SetChartToolbar(false);

  if (const char* dir = std::getenv("TELLURIO_SCREENSHOT_DIR"))
    w.frame->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/main_window.png"));
}

// The table view with its dialogs scripted and a printer that records.
struct TableWindow : Window {
  ScriptedTableDialogs dialogs;
  RecordingPrinter printer;
  TableCommands tables{f.doc, *frame, flags, dialogs, printer};
  TableWindow() { tables.Bind(commands); }
  TablePane* Pane() const {
    CChildFrame* p = frame->FindPane(QStringLiteral("Fenster4"));
    return p ? FindTablePane(p->View()) : nullptr;
  }
};

TEST(MainWindow, TheTablePaneComesAndGoesAndGuardsTheCommands) {
  TableWindow w;
  w.dialogs.tables.push_back([](TableSelectionRules& r) { return std::optional<TableSelection>(r.Ok({})); });
  w.f.prompter.Clear();
  w.frame->Action(cmd::kTableToggle)->trigger();
  ASSERT_NE(w.frame->FindPane(QStringLiteral("Fenster4")), nullptr);
  ASSERT_NE(w.Pane(), nullptr);
  ASSERT_NE(w.Pane()->Table(), nullptr);
  EXPECT_EQ(w.Pane()->Table()->RowCount(), 1u) << "the one fund of the depot";
  EXPECT_EQ(w.Pane()->Table()->lines[0].At(depotcol::kName), "Deka-Fonds");
  EXPECT_TRUE(w.Pane()->isVisible());
  EXPECT_TRUE(w.frame->Action(cmd::kPrint)->isEnabled());
  w.f.prompter.Clear();
  w.frame->Action(cmd::kBuy)->trigger();
  EXPECT_EQ(w.f.prompter.Last().text, "Sie können diese Option nur in der Chartansicht nutzen!");

  // Printing prints the table shown, and the table pane is active again.
  w.frame->Action(cmd::kPrint)->trigger();
  ASSERT_EQ(w.printer.jobs.size(), 1u);
  EXPECT_EQ(w.printer.jobs[0].kind, printkind::kDepotFunds);
  EXPECT_EQ(w.printer.jobs[0].table, w.Pane()->Table());
  QTRY_VERIFY(w.Pane()->hasFocus());

  w.frame->Action(cmd::kTableToggle)->trigger();
  EXPECT_EQ(w.frame->FindPane(QStringLiteral("Fenster4")), nullptr);
  EXPECT_FALSE(w.frame->Action(cmd::kPrint)->isEnabled());
  EXPECT_EQ(w.frame->Panes().size(), 3u);
  w.f.prompter.Clear();
  w.frame->Action(cmd::kSwitchDepot)->trigger();
  EXPECT_TRUE(w.f.prompter.Messages().empty()) << "the commands work again";
}

TEST(MainWindow, ACancelledTableChoiceLeavesAnEmptyPaneAndTheToggleStillWorks) {
  // Guards against the toggle that locked the program: the pane must be
  // switched off by the same button, after which every command runs.
  TableWindow w;
  w.frame->Action(cmd::kTableToggle)->trigger();
  ASSERT_NE(w.Pane(), nullptr);
  EXPECT_EQ(w.Pane()->Table(), nullptr);
  EXPECT_EQ(w.flags.tableViewOn, 1);
  w.frame->Action(cmd::kTableToggle)->trigger();
  EXPECT_EQ(w.flags.tableViewOn, 0);
  EXPECT_EQ(w.frame->FindPane(QStringLiteral("Fenster4")), nullptr);
  w.f.prompter.Clear();
  w.frame->Action(cmd::kSwitchDepot)->trigger();
  EXPECT_TRUE(w.f.prompter.Messages().empty());
}

TEST(MainWindow, CommandsOfLaterSubsystemsSayTheyAreNotAvailable) {
  Window w;
  w.f.prompter.Clear();
  w.frame->Action(cmd::kBuy)->trigger();
  EXPECT_EQ(w.f.prompter.Last().title, "Hinweis");
  EXPECT_NE(w.f.prompter.Last().text.find("noch nicht verfügbar"), std::string::npos);
}

}  // namespace
}  // namespace tellurio::testing
