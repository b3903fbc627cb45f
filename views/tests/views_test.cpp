// The chart pane's window, zoom and value display, the fund tiles and lists
// of the other panes, and the ticker thread, on the offscreen platform.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <atomic>

#include "app/core/CommandTable.h"
#include "app/tests/FakeShell.h"
#include "calendar/NumberText.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"
#include "views/CChildFrame.h"
#include "views/CTellurioView.h"
#include "views/ChartRenderer.h"
#include "views/Ticker.h"

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

// The daily chart of "Beta" drawn directly into a white picture of that
// size, above the rows of a scroll bar barH high, with the pane's scroll
// state: what the pane's own picture must be.
QImage DailyChartOnWhite(const CTellurioView& pane, const std::vector<std::string>& series, QSize size, int barH) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  chart::ScrollState scroll = pane.Scroll();
  chart::ChartInput in;
  in.kind = chart::ChartKind::Daily;
  in.fund = "Beta";
  DrawChart(p, QRect(0, 0, size.width(), size.height() - barH), in, series, scroll);
  return image;
}

TEST_F(Panes, TheValueDisplayTwiceLeavesThePictureAsItWas) {
  CTellurioView* chart = Pane("Fenster1", {900, 500});
  chart->ShowChart(chart::ChartKind::Daily, "Beta", {}, PriceRows(f.doc.State().depotStore, "Beta"));
  const QImage before = chart->BackBuffer().copy();
  chart->ToggleValueDisplay();
  const QPoint inside((chart->Layout().plotLeft + chart->Layout().plotRight) / 2,
                      (chart->Layout().plotTop + chart->Layout().baseline) / 2);
  chart->MoveMarker(inside);
  EXPECT_NE(chart->BackBuffer(), before) << "the marker is drawn";
  chart->MoveMarker(inside + QPoint(15, 5));
  chart->ToggleValueDisplay();
  EXPECT_EQ(chart->BackBuffer(), before);
  EXPECT_FALSE(chart->ValueDisplayActive());
}

TEST_F(Panes, ZoomOnTheWindowedDailyChart) {
  CTellurioView* chart = Pane("Fenster1", {400, 400});  // 300 points do not fit: windowed
  chart->ShowChart(chart::ChartKind::Daily, "Beta", {}, PriceRows(f.doc.State().depotStore, "Beta"));
  EXPECT_EQ(chart->Scroll().range, 150);
  EXPECT_EQ(chart->Layout().points.size(), 150u);
  EXPECT_TRUE(chart->Zoom(1));
  EXPECT_EQ(chart->Layout().points.size(), 140u);
  EXPECT_TRUE(chart->Zoom(-1));
  EXPECT_FALSE(chart->Zoom(-1)) << "the smallest zoom";
  EXPECT_EQ(chart->Scroll().range, 150);
  chart->ResetChart(false);
  EXPECT_FALSE(chart->ChartActive());
  EXPECT_EQ(flags.valueDisplayEnabled, 0);
}

// A comparison of 240 months in a pane 380 wide (240 >= 380 - 150): the
// newest 120 months first, with the scroll bar; scrolling moves the
// window, and the title names both funds.  Guards the derived kinds
// against being drawn whole, like the long-term chart.
TEST_F(Panes, ADerivedChartWithMorePointsThanFitScrolls) {
  CTellurioView* chart = Pane("Fenster1", {380, 400});
  std::vector<std::string> series;
  for (int m = 0; m < 240; ++m) {
    const int month = m % 12 + 1;
    series.push_back((month < 10 ? "0" : "") + std::to_string(month) + "/" + std::to_string(10 + m / 12));
    series.push_back(FormatNumber(std::sin(m / 5.0) * 4, 2));
  }
  chart->ShowChart(chart::ChartKind::Comparison, "Alpha", "Beta", series);
  EXPECT_EQ(chart->Layout().title, "Alpha im Vergleich zum Fond Beta");
  EXPECT_EQ(chart->Scroll().range, 120);
  EXPECT_EQ(chart->Layout().firstShown, 120);
  EXPECT_TRUE(chart->HorizontalBar()->isVisible());
  chart->HorizontalBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(chart->Layout().firstShown, 115);
  EXPECT_EQ(chart->Layout().dates.front().text, series[2 * 115]);
  EXPECT_TRUE(chart->Zoom(1));
  EXPECT_EQ(chart->Layout().points.size(), 110u);
}

// The pane's picture is the chart drawn on white: the chart's area as the
// chart draws it, the rows of a windowed chart's scroll bar white, and an
// empty pane white, whatever the pane showed before.
TEST_F(Panes, ThePictureIsTheChartOnWhite) {
  CTellurioView* chart = Pane("Fenster1", {400, 300});
  const std::vector<std::string> prices = PriceRows(f.doc.State().depotStore, "Beta");
  // The chart drawn into a white picture of the pane's size, above the
  // scroll bar's rows.
  auto expected = [&](const std::vector<std::string>& series, int barH) {
    return DailyChartOnWhite(*chart, series, chart->BackBuffer().size(), barH);
  };
  // 300 points do not fit: windowed, with the scroll bar.
  chart->ShowChart(chart::ChartKind::Daily, "Beta", {}, prices);
  ASSERT_TRUE(chart->HorizontalBar()->isVisible());
  const int barH = chart->HorizontalBar()->sizeHint().height();
  ASSERT_GT(barH, 0);
  EXPECT_EQ(chart->BackBuffer(), expected(prices, barH));
  const QImage& picture = chart->BackBuffer();
  for (int x = 0; x < picture.width(); x += 7)
    ASSERT_EQ(picture.pixelColor(x, picture.height() - 1), QColor(Qt::white)) << x;
  // 200 points fit, after the windowed chart: the chart reaches the bottom.
  const std::vector<std::string> few(prices.end() - 200, prices.end());
  chart->ShowChart(chart::ChartKind::Daily, "Beta", {}, few);
  ASSERT_FALSE(chart->HorizontalBar()->isVisible());
  EXPECT_EQ(chart->BackBuffer(), expected(few, 0));
  // No chart: the pane is white, and no picture is kept for it.
  chart->ResetChart(false);
  EXPECT_TRUE(chart->BackBuffer().isNull());
  const QImage shown = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), chart->size());
  QImage white(shown.size(), QImage::Format_RGB32);
  white.fill(Qt::white);
  EXPECT_EQ(shown, white);
}

// A chart that fits its pane and then does not after the pane was made
// narrower: the window and its scroll bar come with the resize.
TEST_F(Panes, ResizingAPaneNarrowerWindowsTheChartWithItsScrollBar) {
  CTellurioView* chart = Pane("Fenster1", {700, 400});  // 300 points fit in 700 - 150
  chart->ShowChart(chart::ChartKind::Daily, "Beta", {}, PriceRows(f.doc.State().depotStore, "Beta"));
  EXPECT_FALSE(chart->HorizontalBar()->isVisible());
  EXPECT_EQ(chart->Layout().points.size(), 300u);
  frames.back()->resize(400, 400);
  // The pane is the frame's inside: a little narrower than the frame.
  ASSERT_TRUE(QTest::qWaitFor([&] { return chart->width() <= 400; }));
  EXPECT_EQ(chart->Layout().points.size(), 150u);
  EXPECT_TRUE(chart->HorizontalBar()->isVisible());
}

// The sizes a pane passes through before it is painted (the window made,
// then maximised) are laid out at once but painted only once, at the last
// size, with the same pixels as the chart drawn directly at that size.
TEST_F(Panes, SizesBeforeThePaintAreLaidOutButPaintedOnce) {
  CTellurioView* chart = Pane("Fenster1", {700, 400});
  const std::vector<std::string> prices = PriceRows(f.doc.State().depotStore, "Beta");
  chart->ShowChart(chart::ChartKind::Daily, "Beta", {}, prices);
  const int draws = chart->ChartDrawCount();
  for (int width : {650, 600, 380}) {
    chart->resize(width, 300);
    EXPECT_LT(chart->Layout().plotRight, width) << width;
  }
  EXPECT_EQ(chart->ChartDrawCount(), draws) << "nothing painted before the picture is needed";
  EXPECT_TRUE(chart->HorizontalBar()->isVisible()) << "380 is too narrow for 300 points: windowed at once";
  const QImage& picture = chart->BackBuffer();
  EXPECT_EQ(chart->ChartDrawCount(), draws + 1);
  ASSERT_EQ(picture.size(), QSize(380, 300));
  EXPECT_EQ(picture, DailyChartOnWhite(*chart, prices, picture.size(), chart->HorizontalBar()->sizeHint().height()));
  (void)chart->BackBuffer();
  EXPECT_EQ(chart->ChartDrawCount(), draws + 1) << "a picture is painted once";
}

// Choosing a fund updates every pane; the depot's totals and ranking stay
// the same lines (not refilled, so not moved back to their first line)
// until their figures change.
TEST_F(Panes, TheDepotListsChangeOnlyWithTheirFigures) {
  CTellurioView* depot = Pane("Fenster3", {1000, 200});
  ASSERT_EQ(depot->RankingList()->count(), 3);
  ASSERT_EQ(depot->TotalsList()->count(), 2);
  QListWidgetItem* const ranking = depot->RankingList()->item(2);
  QListWidgetItem* const total = depot->TotalsList()->item(0);
  const QString totalText = total->text();
  depot->RankingList()->setCurrentRow(2);
  f.doc.SelectFund("Beta");
  depot->OnUpdate();
  EXPECT_EQ(depot->RankingList()->item(2), ranking);
  EXPECT_EQ(depot->TotalsList()->item(0), total);
  EXPECT_EQ(depot->TotalsList()->item(0)->text(), totalText);

  // 10 shares of "Beta" make the depot worth more: the totals show it.
  DepotState& s = f.doc.State();
  s.depotStore.Select("Beta");
  s.depotStore.ReplaceRows(section::kHolding, {"01.01.2001", "10,0000"});
  f.doc.RecomputeStatistics(Scope::DepotFunds);
  depot->OnUpdate();
  ASSERT_EQ(depot->TotalsList()->count(), 2);
  EXPECT_NE(depot->TotalsList()->item(0)->text(), totalText);
  EXPECT_TRUE(depot->TotalsList()->item(0)->text().startsWith(QStringLiteral("Wert des Depots:")));
  EXPECT_EQ(depot->RankingList()->count(), 3);
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
  EXPECT_EQ(funds->FundListLine(0).rfind("Delta Archiv \t", 0), 0u) << funds->FundListLine(0);
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

// The ticker never shows funds the depot no longer holds: a changed text
// (here: a depot without funds) shows with the next step, not after the
// old line has passed (which would take minutes for this one).
TEST(Ticker, AChangedTextShowsAtOnce) {
  std::atomic<bool> emptied{false};
  std::string line = "***";
  for (int i = 0; i < 200; ++i) line += " Alpha-Aktien Europa 05.03.2003 41,20 Euro***";
  QObject receiver;
  QImage latest;
  TickerThread ticker([&] { return emptied ? std::string() : line; }, &receiver,
                      [&latest](const QImage& frame) { latest = frame; });
  ticker.SetStripSize(300, 30);
  ticker.Start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !latest.isNull(); }));
  const QImage blank = TickerThread::Frame("", 300, 30, 0);
  // The text enters from the right: within a few steps it is on the strip.
  ASSERT_TRUE(QTest::qWaitFor([&] { return latest != blank; }));
  emptied = true;
  EXPECT_TRUE(QTest::qWaitFor([&] { return latest == blank; }, 2000));
  ticker.Stop();
}

}  // namespace
}  // namespace tellurio::testing
