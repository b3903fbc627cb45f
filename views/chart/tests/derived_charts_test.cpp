// The derived charts: the comparison series, the commands with their
// messages, and the rules of the comparison dialog, on real depot stores.

#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "analysis/Statistics.h"
#include "portfolio/tests/PortfolioFixture.h"
#include "views/chart/DerivedChartCommands.h"
#include "views/chart/DerivedSeries.h"

namespace tellurio::chart {
namespace {

using testing::DepotFixture;
using Texts = std::vector<std::string>;

// ---- comparison series ------------------------------------------------------------

TEST(ComparisonSeries, AFundComparedWithItselfGivesZeros) {
  const Texts a = {"01/03", "10,00", "02/03", "11,00", "03/03", "12,10"};
  EXPECT_EQ(ComparisonSeries(a, a), (Texts{"02/03", "0,00", "03/03", "0,00"}));
}

// a: January 10, February 11, March 12,50, April 12,50; b starts in
// February: 20, 20, 22.  February has no earlier month in b; March: a rose
// by 13,6363... %, b by 0 % -> 13,63 points (cut); April: a 0 %, b 10 % ->
// -10 points.
TEST(ComparisonSeries, TwoFundsStartingInDifferentMonths) {
  const Texts a = {"01/03", "10,00", "02/03", "11,00", "03/03", "12,50", "04/03", "12,50"};
  const Texts b = {"02/03", "20,00", "03/03", "20,00", "04/03", "22,00"};
  EXPECT_EQ(ComparisonSeries(a, b), (Texts{"03/03", "13,63", "04/03", "-10,00"}));
  // The other way round the signs turn.
  EXPECT_EQ(ComparisonSeries(b, a), (Texts{"03/03", "-13,63", "04/03", "10,00"}));
}

// a has no prices in February (average 0): February is compared (a lost
// 100 %, b gained 10 %: -110 points), March would divide by February's 0
// and is left out.
TEST(ComparisonSeries, AMonthAfterAnAverageOfZeroIsLeftOut) {
  const Texts a = {"01/03", "10,00", "02/03", "0,00", "03/03", "5,00"};
  const Texts b = {"01/03", "20,00", "02/03", "22,00", "03/03", "24,20"};
  EXPECT_EQ(ComparisonSeries(a, b), (Texts{"02/03", "-110,00"}));
  EXPECT_TRUE(ComparisonSeries({"01/03", "10,00"}, b).empty());
  EXPECT_TRUE(ComparisonSeries(a, {}).empty());
}

// ---- commands ----------------------------------------------------------------------

struct FakePane : ChartPane {
  std::vector<std::string> calls;
  ChartKind kind = ChartKind::LongTerm;
  std::string fund, otherFund;
  Texts series;
  void ResetChart(bool chartOn) override { calls.push_back(chartOn ? "reset:on" : "reset:off"); }
  void ShowChart(ChartKind k, const std::string& f, const std::string& other, Texts s) override {
    calls.push_back("show");
    kind = k;
    fund = f;
    otherFund = other;
    series = std::move(s);
  }
};

struct FakeHost : ChartHost {
  FakePane pane;
  bool hasPane = true;
  bool zoom = false;
  int shown = 0;
  ChartPane* FindChartPane() override { return hasPane ? &pane : nullptr; }
  void SetZoomEnabled(bool on) override { zoom = on; }
  void ChartShown() override { ++shown; }
};

// Plays the user's part against the dialog's rules; without a script the
// dialog is cancelled.
struct ScriptedDialog : CompareFundDialog {
  std::deque<std::function<std::optional<std::string>(CompareFundRules&)>> script;
  Texts offered;
  std::optional<std::string> ChooseFund(CompareFundRules& rules) override {
    offered = rules.Funds();
    if (script.empty()) return std::nullopt;
    auto step = std::move(script.front());
    script.pop_front();
    return step(rules);
  }
  static std::function<std::optional<std::string>(CompareFundRules&)> DoubleClickThenOk(int index) {
    return [index](CompareFundRules& r) -> std::optional<std::string> {
      r.DoubleClicked(index);
      if (r.Ok() != DialogStep::Accept) return std::nullopt;
      return r.Choice();
    };
  }
};

struct DerivedChartsTest : ::testing::Test {
  DepotFixture f;
  Statistics stats{f.state, f.calendar};
  FakeHost host;
  ScriptedDialog dialog;
  DerivedChartCommands commands{f.state, stats, f.prompter, host, dialog};

  void AddFund(const std::string& name, const Texts& prices) {
    f.AddFund(FundMaster{name, name.substr(0, 6), "1,0000", "Euro"}, prices);
  }
  void Recompute() {
    stats.RecomputeStatistics(Scope::DepotFunds);
    stats.RecomputeStatistics(Scope::AllFunds);
  }
  void Select(const std::string& fund) {
    f.state.selectedFund = fund;
    f.state.fundSelected = 1;
  }
};

TEST_F(DerivedChartsTest, WithoutAChartPaneOrAFundTheUserIsTold) {
  host.hasPane = false;
  commands.ShowDerivedChart(ChartKind::MonthlyAverages);
  ASSERT_EQ(f.prompter.Messages().size(), 1u);
  EXPECT_EQ(f.prompter.Last(),
            (Message{"Hinweis", "Das Chartfenster wurde nicht gefunden.\nOffensichtlich liegt ein Fehler vor!",
                     MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop}));
  EXPECT_FALSE(host.zoom);

  host.hasPane = true;
  commands.ShowDerivedChart(ChartKind::YearlyChanges);
  EXPECT_EQ(f.prompter.Last(),
            (Message{"Hinweis", "Sie müssen erst einen Fond auswählen, bevor Sie den Chart anzeigen können!",
                     MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop}));
  EXPECT_TRUE(host.zoom) << "zoom is enabled before the fund is checked";
  EXPECT_EQ(host.pane.calls, (Texts{"reset:on"}));
  EXPECT_EQ(host.shown, 0);
}

// Prices 10 and 12 in January, 14 in February, 15 in March 2003: monthly
// averages 11, 14, 15; monthly changes (14 / 11 - 1) * 100 = 27,27... and
// (15 / 14 - 1) * 100 = 7,14..., labelled from the first price's month on;
// all in one year, so one yearly average.
TEST_F(DerivedChartsTest, MonthlyChartsAreDrawnAYearlyChartOfOneYearIsNot) {
  AddFund("Alpha", {"06.01.2003", "10,00", "07.01.2003", "12,00", "03.02.2003", "14,00", "03.03.2003", "15,00"});
  Recompute();
  Select("Alpha");
  commands.ShowDerivedChart(ChartKind::MonthlyAverages);
  EXPECT_EQ(host.pane.calls, (Texts{"reset:on", "show"}));
  EXPECT_EQ(host.pane.kind, ChartKind::MonthlyAverages);
  EXPECT_EQ(host.pane.fund, "Alpha");
  EXPECT_EQ(host.pane.series, (Texts{"01/03", "11,00", "02/03", "14,00", "03/03", "15,00"}));
  EXPECT_EQ(host.shown, 1);

  commands.ShowDerivedChart(ChartKind::MonthlyChanges);
  // 11 to 14 is February's change, 14 to 15 March's.
  EXPECT_EQ(host.pane.series, (Texts{"02/03", "27,27", "03/03", "7,14"}));

  host.pane.calls.clear();
  commands.ShowDerivedChart(ChartKind::YearlyAverages);
  EXPECT_EQ(host.pane.calls, (Texts{"reset:on"})) << "one point: the pane stays empty";
  EXPECT_EQ(host.shown, 2);
  EXPECT_TRUE(f.prompter.Messages().empty());
}

TEST_F(DerivedChartsTest, ADepotWithOneFundRefusesTheComparison) {
  AddFund("Alpha", {"06.01.2003", "10,00", "03.02.2003", "14,00"});
  Recompute();
  Select("Alpha");
  dialog.script.push_back(ScriptedDialog::DoubleClickThenOk(0));
  commands.ShowComparison();
  EXPECT_EQ(f.prompter.Last(), (Message{"Hinweis", "Sie haben keinen Vergleichsfond zur Verfügung.", MessageButtons::Ok,
                                        MessageIcon::Stop, BeepKind::Stop}));
  EXPECT_EQ(dialog.script.size(), 1u) << "the dialog is not opened";
  EXPECT_TRUE(host.pane.calls.empty());
}

TEST_F(DerivedChartsTest, ComparingTwoFundsAndAFundWithItself) {
  AddFund("Alpha", {"15.01.2003", "10,00", "14.02.2003", "11,00", "14.03.2003", "12,50", "14.04.2003", "12,50"});
  AddFund("Beta", {"14.02.2003", "20,00", "14.03.2003", "20,00", "14.04.2003", "22,00"});
  Recompute();
  Select("Alpha");
  dialog.script.push_back(ScriptedDialog::DoubleClickThenOk(1));
  commands.ShowComparison();
  EXPECT_EQ(dialog.offered, (Texts{"Alpha", "Beta"}));
  EXPECT_EQ(host.pane.calls, (Texts{"reset:on", "show"}));
  EXPECT_EQ(host.pane.kind, ChartKind::Comparison);
  EXPECT_EQ(host.pane.otherFund, "Beta");
  EXPECT_EQ(host.pane.series, (Texts{"03/03", "13,63", "04/03", "-10,00"}));

  dialog.script.push_back(ScriptedDialog::DoubleClickThenOk(0));
  commands.ShowComparison();
  EXPECT_EQ(host.pane.series, (Texts{"02/03", "0,00", "03/03", "0,00", "04/03", "0,00"}));

  // Cancelled: the pane is left as it was.
  host.pane.calls.clear();
  commands.ShowComparison();
  EXPECT_TRUE(host.pane.calls.empty());
  EXPECT_TRUE(f.prompter.Messages().empty());
}

TEST_F(DerivedChartsTest, AFundOfTheArchiveUsesTheArchiveStatistics) {
  AddFund("Alpha", {"06.01.2003", "10,00", "03.02.2003", "14,00"});
  f.AddFund(FundMaster{"Archiv", "999999", "1,0000", "Euro"}, {"06.01.2003", "30,00", "03.02.2003", "33,00"}, true);
  Recompute();
  EXPECT_EQ(commands.Series(ChartKind::MonthlyAverages, "Archiv"), (Texts{"01/03", "30,00", "02/03", "33,00"}));
  EXPECT_TRUE(commands.Series(ChartKind::MonthlyAverages, "Niemand").empty());
}

// ---- dialog rules ------------------------------------------------------------------

TEST(CompareFundRules, OkWithoutAChoiceAsksAndADoubleClickChooses) {
  RecordingPrompter prompter;
  CompareFundRules rules(prompter, {"Alpha", "Beta"});
  prompter.Script({Answer::No, Answer::Yes});
  EXPECT_EQ(rules.Ok(), DialogStep::Stay);
  EXPECT_EQ(prompter.Last(),
            (Message{"Frage", "Sie haben keinen Fond ausgewählt! Wollen\n Sie den Dialog trotzdem beenden?",
                     MessageButtons::YesNo, MessageIcon::Question, BeepKind::Question}));
  EXPECT_EQ(rules.Ok(), DialogStep::Cancel);

  rules.DoubleClicked(5);  // not a line of the list
  EXPECT_EQ(rules.Choice(), "");
  rules.DoubleClicked(1);
  EXPECT_EQ(rules.Choice(), "Beta");
  EXPECT_EQ(rules.Ok(), DialogStep::Accept);
  EXPECT_EQ(prompter.Messages().size(), 2u);
  EXPECT_EQ(prompter.UnscriptedQuestions(), 0);
}

}  // namespace
}  // namespace tellurio::chart
