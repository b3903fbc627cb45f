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
#include "app/tests/FakeShell.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"
#include "views/CChildFrame.h"

namespace tellurio::testing {
namespace {

struct Window {
  DocFixture f;
  AppFlags flags;
  CommandTable commands{flags, f.prompter};
  std::unique_ptr<CMainFrame> frame;

  Window() {
    EXPECT_TRUE(WriteListFile(f.dir / "Bank.pls", {"Depot"}).ok());
    EXPECT_TRUE(WriteListFile(f.dir / "anb.dbk", {"Bank", "Deka"}).ok());
    RecordStore s;
    EXPECT_TRUE(s.Create(f.dir / "Depot", 6, fileset::kDepotRowWidths).ok());
    EXPECT_TRUE(s.Open().ok());
    s.AddRecord({"Deka-Fonds", "847451", "1,0500", "Euro"});
    s.AppendRows(1, {"04.03.2003", "41,20"}, 1);
    EXPECT_TRUE(s.Save().ok());
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

TEST(MainWindow, TheTablePaneComesAndGoesAndGuardsTheCommands) {
  Window w;
  w.f.prompter.Clear();
  w.frame->Action(cmd::kTableToggle)->trigger();
  ASSERT_NE(w.frame->FindPane(QStringLiteral("Fenster4")), nullptr);
  EXPECT_TRUE(w.frame->Action(cmd::kPrint)->isEnabled());
  w.f.prompter.Clear();
  w.frame->Action(cmd::kBuy)->trigger();
  EXPECT_EQ(w.f.prompter.Last().text, "Sie können diese Option nur in der Chartansicht nutzen!");
  w.frame->Action(cmd::kTableToggle)->trigger();
  EXPECT_EQ(w.frame->FindPane(QStringLiteral("Fenster4")), nullptr);
  EXPECT_FALSE(w.frame->Action(cmd::kPrint)->isEnabled());
  EXPECT_EQ(w.frame->Panes().size(), 3u);
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
