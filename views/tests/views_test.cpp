// The chart pane's window, zoom and value display, the fund tiles and lists
// of the other panes, and the ticker thread, on the offscreen platform.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "app/core/CommandTable.h"
#include "app/tests/FakeShell.h"
#include "calendar/NumberText.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"
#include "views/CChildFrame.h"
#include "views/CTellurioView.h"
#include "views/ChartRenderer.h"

namespace tellurio::testing {
namespace {

std::vector<std::string> Series(int n) {
  std::vector<std::string> rows;
  for (int i = 0; i < n; ++i) {
    rows.push_back(Calendar::FormatDate(MakePackedDate(2000 + i / 250, 1 + (i / 20) % 12, 1 + i % 20)));
    rows.push_back(FormatNumber(50 + 10 * std::sin(i / 17.0), 2));
  }
  return rows;
}

TEST(ChartWindow, ShortSeriesShowEveryPointLongOnesTheNewestHalfFirst) {
  QImage img(1000, 600, QImage::Format_RGB32);
  QPainter p(&img);
  ChartInput in;
  in.kind = kDailyKind;
  in.fund = "Alpha";
  in.series = Series(500);  // fewer than 1000 - 150
  ScrollState s;
  ChartGeometry g = DrawChart(p, img.rect(), in, s);
  EXPECT_EQ(s.range, 0);
  EXPECT_EQ(g.xs.size(), 500u);

  in.series = Series(2000);
  g = DrawChart(p, img.rect(), in, s);
  EXPECT_EQ(s.range, 1000);
  EXPECT_EQ(s.position, 1000);
  EXPECT_EQ(s.minimumRange, 1000);
  EXPECT_EQ(g.firstShown, 1000);
  EXPECT_EQ(g.xs.size(), 1000u);
  // The long-term chart always shows everything.
  in.kind = kLongTermKind;
  ScrollState none;
  EXPECT_EQ(DrawChart(p, img.rect(), in, none).xs.size(), 2000u);
  EXPECT_EQ(ChartTitle(in), "Langfristchart des Fonds Alpha");
}

TEST(ChartWindow, PagesFallBackToSingleStepsAtTheEnds) {
  ScrollState s;
  s.range = 10;
  s.position = 7;
  ScrollPage(s, 1);
  EXPECT_EQ(s.position, 8);  // 12 would leave the range
  ScrollPage(s, 1);
  ScrollPage(s, 1);
  ScrollPage(s, 1);
  EXPECT_EQ(s.position, 10);
  ScrollPage(s, -1);
  EXPECT_EQ(s.position, 5);
  ScrollLine(s, -9);
  EXPECT_EQ(s.position, 0);
  ScrollTo(s, 99);
  EXPECT_EQ(s.position, 10);
}

TEST(ChartWindow, ZoomingOutStopsAtTheFirstWindow) {
  ScrollState s;
  s.range = s.position = s.minimumRange = 1000;
  EXPECT_TRUE(ApplyZoom(s, 1, 2000));
  EXPECT_TRUE(ApplyZoom(s, 1, 2000));
  EXPECT_EQ(s.range, 1020);
  EXPECT_EQ(s.zoom, 2);
  EXPECT_TRUE(ApplyZoom(s, -1, 2000));
  EXPECT_TRUE(ApplyZoom(s, -1, 2000));
  EXPECT_FALSE(ApplyZoom(s, -1, 2000));
  EXPECT_EQ(s.range, 1000);
  EXPECT_EQ(s.zoom, 0);
}

// A document with a depot of funds on real files, and panes holding views.
struct Panes : ::testing::Test {
  DocFixture f;
  AppFlags flags;
  std::vector<std::unique_ptr<CChildFrame>> frames;

  void SetUp() override {
    DepotState& s = f.doc.State();
    s.workingDirectory = f.wd();
    s.currentDepot = "Depot";
    s.currency = "Euro";
    f.doc.OpenDepotStores("Depot");
    const char* names[] = {"Alpha-Aktien Europa", "Beta", "Gamma Renten"};
    for (int i = 0; i < 3; ++i) {
      s.depotStore.AddRecord({names[i], std::to_string(100000 + i), "1,0000", "Euro"});
      std::vector<std::string> rows = Series(300);
      for (size_t r = 1; r < rows.size(); r += 2) rows[r] = FormatNumber(ParseNumber(rows[r]) * (1 + i), 2);
      s.depotStore.AppendRows(section::kPrices, rows, 300);
    }
    ASSERT_TRUE(s.depotStore.Save().ok());
    s.auxiliaryStore.AddRecord({"Delta Archiv", "200000", "1,0500", "Euro"});
    s.auxiliaryStore.AppendRows(section::kPrices, Series(100), 100);
    ASSERT_TRUE(s.auxiliaryStore.Save().ok());
    f.doc.RecomputeStatistics(Scope::DepotFunds);
    f.doc.RecomputeStatistics(Scope::AllFunds);
    f.doc.RebuildTicker();
  }
  CTellurioView* Pane(const char* title, QSize size) {
    frames.push_back(std::make_unique<CChildFrame>(QString::fromLatin1(title), nullptr));
    auto* v = new CTellurioView(f.doc, flags, frames.back().get());
    frames.back()->SetView(v);
    frames.back()->resize(size);
    frames.back()->show();
    v->OnUpdate();
    return v;
  }
};

TEST_F(Panes, TheValueDisplayTwiceLeavesThePictureAsItWas) {
  CTellurioView* chart = Pane("Fenster1", {900, 500});
  chart->ShowChart(kDailyKind, "Beta", PriceRows(f.doc.State().depotStore, "Beta"));
  const QImage before = chart->BackBuffer().copy();
  chart->ToggleValueDisplay();
  const QPoint inside((chart->Geometry().plotLeft + chart->Geometry().plotRight) / 2,
                      (chart->Geometry().plotTop + chart->Geometry().baseline) / 2);
  chart->MoveMarker(inside);
  EXPECT_NE(chart->BackBuffer(), before) << "the marker is drawn";
  chart->MoveMarker(inside + QPoint(15, 5));
  chart->ToggleValueDisplay();
  EXPECT_EQ(chart->BackBuffer(), before);
  EXPECT_FALSE(chart->ValueDisplayActive());
}

TEST_F(Panes, ZoomOnTheWindowedDailyChart) {
  CTellurioView* chart = Pane("Fenster1", {400, 400});  // 300 points do not fit: windowed
  chart->ShowChart(kDailyKind, "Beta", PriceRows(f.doc.State().depotStore, "Beta"));
  EXPECT_EQ(chart->Scroll().range, 150);
  EXPECT_EQ(chart->Geometry().xs.size(), 150u);
  EXPECT_TRUE(chart->Zoom(1));
  EXPECT_EQ(chart->Geometry().xs.size(), 140u);
  EXPECT_TRUE(chart->Zoom(-1));
  EXPECT_FALSE(chart->Zoom(-1)) << "the smallest zoom";
  EXPECT_EQ(chart->Scroll().range, 150);
  chart->ResetChart(false);
  EXPECT_FALSE(chart->ChartActive());
  EXPECT_EQ(flags.valueDisplayEnabled, 0);
}

TEST_F(Panes, TilesListsAndInformationPanel) {
  CTellurioView* depot = Pane("Fenster3", {1000, 200});
  ASSERT_EQ(depot->Tiles().size(), 3u);
  EXPECT_EQ(depot->Tiles()[0]->text(), QStringLiteral("Aktien E"));  // after the "-"
  EXPECT_EQ(depot->Tiles()[1]->text(), QStringLiteral("Beta"));
  EXPECT_EQ(depot->Tiles()[2]->objectName(), QStringLiteral("tile302"));
  EXPECT_TRUE(depot->Tiles()[0]->toolTip().startsWith(QStringLiteral("Alpha-Aktien Europa ")));
  EXPECT_EQ(depot->Tiles()[1]->pos(), QPoint(64, 0));
  ASSERT_EQ(depot->TotalsList()->count(), 2);
  EXPECT_TRUE(depot->TotalsList()->item(0)->text().startsWith(QStringLiteral("Wert des Depots:")));
  EXPECT_EQ(depot->RankingList()->count(), 3);

  CTellurioView* funds = Pane("Fenster2", {400, 600});
  ASSERT_EQ(funds->FundList()->count(), 1);
  EXPECT_TRUE(funds->FundList()->item(0)->data(Qt::UserRole).toString().startsWith(QStringLiteral("Delta Archiv \t")));
  EXPECT_TRUE(funds->InfoValues()[0].empty()) << "no fund selected: the panel is empty";
  f.doc.SelectFund("Beta");
  funds->OnUpdate();
  EXPECT_EQ(funds->InfoValues()[0], "0,00 Euro");
  EXPECT_NE(funds->InfoValues()[9], "");
}

TEST(FundTiles, TextAndColourRules) {
  EXPECT_EQ(TileText("Kurz"), "Kurz");
  EXPECT_EQ(TileText("Ohne Bindestrich"), "Ohne Bin");
  EXPECT_EQ(TileText("Uni-Global"), "Global");
  EXPECT_EQ(TileText("A-B"), "A-B");                  // short names keep their "-"
  EXPECT_EQ(TileText("Überseeäquator"), "Überseeä");  // characters, not bytes
  EXPECT_EQ(TileColor(0), QColor(192, 192, 192));
  EXPECT_EQ(TileColor(0.5), QColor(210, 255, 210));
  EXPECT_EQ(TileColor(2.7), QColor(110, 255, 110));
  EXPECT_EQ(TileColor(-9), QColor(255, 0, 0));
}

TEST_F(Panes, TheTickerRunsAndStopsWithItsPane) {
  CTellurioView* depot = Pane("Fenster3", {1000, 200});
  EXPECT_TRUE(depot->TickerRunning());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !depot->TickerFrame().isNull(); }, 3000));
  const QImage first = depot->TickerFrame().copy();
  ASSERT_TRUE(QTest::qWaitFor([&] { return depot->TickerFrame() != first; }, 3000)) << "the text moves";
  EXPECT_EQ(depot->TickerFrame().pixelColor(0, 0), QColor(255, 255, 0));
  frames.clear();  // destroying the pane stops and joins the thread
}

}  // namespace
}  // namespace tellurio::testing
