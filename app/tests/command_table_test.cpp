#include <gtest/gtest.h>

#include <set>

#include "app/core/CommandTable.h"
#include "app/core/PaneLayout.h"
#include "platform/testing/RecordingPrompter.h"

namespace tellurio {
namespace {

using namespace cmd;

constexpr const char* kRefusal = "Sie können diese Option nur in der Chartansicht nutzen!";

struct Table {
  AppFlags flags;
  RecordingPrompter prompter;
  CommandTable table{flags, prompter};
  std::vector<int> ran;
  std::vector<bool> tableRequests;
  Table() {
    for (const CommandInfo& c : Commands()) table.Bind(c.id, [this, id = c.id] { ran.push_back(id); });
    table.SetTableViewRequest([this](bool on) { tableRequests.push_back(on); });
  }
};

TEST(CommandTable, WhileTheTableIsShownOnlyPrintToggleAboutExitAndHelpRun) {
  Table t;
  t.flags.zoomEnabled = t.flags.valueDisplayEnabled = 1;
  t.table.Execute(kTableToggle);
  ASSERT_EQ(t.flags.tableViewOn, 1);
  const std::set<int> free = {kPrint, kExportCsv, kTableToggle, kAbout, kExit, kHelp, kContextHelp};
  for (const CommandInfo& c : Commands()) {
    if (c.id == kTableToggle) continue;
    t.ran.clear();
    t.prompter.Clear();
    t.table.Execute(c.id);
    if (free.count(c.id)) {
      EXPECT_EQ(t.ran, std::vector<int>{c.id}) << c.id;
      EXPECT_TRUE(t.prompter.Messages().empty()) << c.id;
    } else {
      EXPECT_TRUE(t.ran.empty()) << c.id;
      ASSERT_EQ(t.prompter.Messages().size(), 1u) << c.id;
      EXPECT_EQ(t.prompter.Last().text, kRefusal);
      EXPECT_EQ(t.prompter.Last().title, "Hinweis");
      EXPECT_EQ(t.prompter.Last().icon, MessageIcon::Information);
    }
  }
  t.table.Execute(kTableToggle);
  EXPECT_EQ(t.flags.tableViewOn, 0);
  t.ran.clear();
  t.table.Execute(kBuy);
  EXPECT_EQ(t.ran, std::vector<int>{kBuy});
  EXPECT_EQ(t.tableRequests, (std::vector<bool>{true, false}));
}

TEST(CommandTable, TheTableViewKeepsThePrintEnablingOfTheChartView) {
  for (int before : {0, 1}) {
    Table t;
    t.flags.printEnabled = before;
    t.table.Execute(kTableToggle);
    EXPECT_TRUE(t.table.IsEnabled(kPrint)) << "tables can always be printed";
    t.table.Execute(kTableToggle);
    EXPECT_EQ(t.table.IsEnabled(kPrint), before == 1);
  }
}

TEST(CommandTable, ZoomValueDisplayAndPrintFollowTheirFlags) {
  Table t;
  for (int id : {kZoomIn, kZoomOut, kValueDisplay, kPrint}) {
    EXPECT_FALSE(t.table.IsEnabled(id));
    t.table.Execute(id);
  }
  EXPECT_TRUE(t.ran.empty()) << "a disabled command does nothing";
  t.flags.zoomEnabled = 1;
  EXPECT_TRUE(t.table.IsEnabled(kZoomIn) && t.table.IsEnabled(kZoomOut));
  EXPECT_FALSE(t.table.IsEnabled(kValueDisplay));
  EXPECT_TRUE(t.table.IsEnabled(kBuy));
}

TEST(CommandTable, MenusAndToolbarsNameOnlyKnownCommands) {
  std::set<int> ids;
  for (const CommandInfo& c : Commands()) EXPECT_TRUE(ids.insert(c.id).second) << "twice: " << c.id;
  for (const MenuDefinition& m : DepotMenu()) {
    for (int id : m.items) {
      if (id != kSeparator) {
        EXPECT_NE(FindCommand(id), nullptr) << id;
      }
    }
  }
  for (int id : ChartToolbar()) {
    if (id != kSeparator) {
      EXPECT_NE(FindCommand(id), nullptr) << id;
    }
  }
  EXPECT_EQ(StandardToolbar().size(), 28u);
  EXPECT_EQ(ChartToolbar().size(), 42u);
  EXPECT_STREQ(FindCommand(kDownloadPrices)->menuText, "Kurse aus dem &Internet laden");
  EXPECT_STREQ(FindCommand(kRestore)->toolTip, " Daten Rücksichern");
  // The CSV export is the one item added to the menus, right after printing;
  // it is enabled when printing is.
  const std::vector<int>& depots = DepotMenu().front().items;
  ASSERT_GE(depots.size(), 2u);
  EXPECT_EQ(depots[depots.size() - 2], kPrint);
  EXPECT_EQ(depots.back(), kExportCsv);
  EXPECT_STREQ(FindCommand(kExportCsv)->menuText, "&Exportieren (CSV) ...");
  AppFlags flags;
  RecordingPrompter prompter;
  CommandTable table(flags, prompter);
  EXPECT_FALSE(table.IsEnabled(kExportCsv));
  flags.printEnabled = 1;
  EXPECT_TRUE(table.IsEnabled(kExportCsv));
}

TEST(PaneLayout, AThousandByEightHundredClientArea) {
  const PaneRect client{0, 0, 1000, 800};
  const PaneRect keep{1, 2, 3, 4};
  EXPECT_EQ(PlacePane("Fenster1", client, keep), (PaneRect{299, 0, 995, 600}));
  EXPECT_EQ(PlacePane("Fenster2", client, keep), (PaneRect{0, 0, 300, 600}));
  EXPECT_EQ(PlacePane("Fenster3", client, keep), (PaneRect{0, 600, 995, 753}));
  EXPECT_EQ(PlacePane("Fenster4", client, keep), (PaneRect{0, 0, 995, 600}));
  EXPECT_EQ(PlacePane("Tellurio", client, keep), keep);
  // Odd sizes truncate toward zero.
  EXPECT_EQ(PlacePane("Fenster1", PaneRect{0, 0, 1001, 803}, keep), (PaneRect{299, 0, 996, 602}));
}

}  // namespace
}  // namespace tellurio
