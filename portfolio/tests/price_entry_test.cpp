// Manual price entry: the working list, scrolling and the commit.

#include <gtest/gtest.h>

#include "portfolio/PriceEntrySession.h"
#include "portfolio/tests/PortfolioFixture.h"

namespace tellurio::testing {
namespace {

const FundMaster kFund{"Alpha", "111111", "1,0000", "Euro"};

// Today is Tuesday 11.03.2003; the last price is Friday 07.03.2003.
struct PriceEntry : ::testing::Test {
  DepotFixture f{CivilDate{2003, 3, 11}};
  void SetUp() override { f.AddFund(kFund, {"05.03.2003", "10,00", "06.03.2003", "10,10", "07.03.2003", "10,20"}); }
};

TEST_F(PriceEntry, EmptyRowsUpToThePreviousBusinessDayOfToday) {
  PriceEntrySession s(f.state.depotStore, f.calendar, f.prompter);
  EXPECT_EQ(s.RowCount(), 5);
  EXPECT_EQ(s.WorkingRows()[6], "10.03.2003");
  EXPECT_EQ(s.WorkingRows()[8], "11.03.2003");
  const auto rows = s.Visible();
  EXPECT_EQ(rows[2].date, "07.03.2003");
  EXPECT_EQ(rows[2].price, "10,20");
  EXPECT_EQ(rows[3].price, "");  // an empty row shows an empty field
  EXPECT_EQ(s.Currency(), "Euro");
}

TEST_F(PriceEntry, AFundWithoutPricesGetsOneRow) {
  f.AddFund({"Leer", "2", "1,0000", "USD"}, {});
  PriceEntrySession s(f.state.depotStore, f.calendar, f.prompter);
  s.Load(1);
  EXPECT_EQ(s.WorkingRows(), (std::vector<std::string>{"11.03.2003", "0"}));
  EXPECT_EQ(s.Currency(), "USD");
}

TEST_F(PriceEntry, ScrollingUpFromAMondayInsertsTheFridayBefore) {
  f.AddFund({"Montag", "3", "1,0000", "Euro"}, {"10.03.2003", "5,00"});
  PriceEntrySession s(f.state.depotStore, f.calendar, f.prompter);
  s.Load(1);
  ASSERT_EQ(s.RowCount(), 2);
  EXPECT_EQ(s.Position(), 0);
  s.LineUp();
  EXPECT_EQ(s.WorkingRows()[0], "07.03.2003");
  EXPECT_EQ(s.Position(), 0);
  s.PageUp();
  EXPECT_EQ(s.RowCount(), 13);
  EXPECT_EQ(s.WorkingRows()[0], "21.02.2003");
  s.PageDown();
  EXPECT_EQ(s.Position(), 10);
  s.PageDown();
  EXPECT_EQ(s.Position(), 12);  // the last row at the top
  s.LineDown();
  EXPECT_EQ(s.Position(), 12);
  s.ScrollTo(99);
  EXPECT_EQ(s.Position(), 12);
  s.ScrollTo(-3);
  EXPECT_EQ(s.Position(), 0);
}

TEST_F(PriceEntry, ANewPriceRewritesTheSeriesInDateOrder) {
  {
    PriceEntrySession s(f.state.depotStore, f.calendar, f.prompter);
    s.PriceLeft(4, "10,40");  // Tuesday 11.03.
    f.prompter.Script({Answer::Yes});
    ASSERT_TRUE(s.Commit().ok());
  }
  f.Reopen();
  EXPECT_EQ(PriceRows(f.state.depotStore, kFund.name),
            (std::vector<std::string>{"05.03.2003", "10,00", "06.03.2003", "10,10", "07.03.2003", "10,20", "10.03.2003",
                                      "0", "11.03.2003", "10,40"}));
  EXPECT_EQ(f.prompter.Last().text, "Wollen Sie die durchgeführten Änderungen übernehmen?");
}

TEST_F(PriceEntry, ChangingAStoredDayReplacesExactlyThatRowAndNoKeepsEverything) {
  const std::vector<std::string> before = PriceRows(f.state.depotStore, kFund.name);
  {
    PriceEntrySession s(f.state.depotStore, f.calendar, f.prompter);
    s.PriceLeft(1, "9,99");  // 06.03.
    f.prompter.Script({Answer::No});
    EXPECT_TRUE(s.Commit().ok());
    EXPECT_FALSE(s.HasChanges());
  }
  f.Reopen();
  EXPECT_EQ(PriceRows(f.state.depotStore, kFund.name), before);
  {
    PriceEntrySession s(f.state.depotStore, f.calendar, f.prompter);
    s.PriceLeft(1, "9,99");
    f.prompter.Script({Answer::Yes});
    EXPECT_TRUE(s.Commit().ok());
  }
  f.Reopen();
  EXPECT_EQ(PriceRows(f.state.depotStore, kFund.name),
            (std::vector<std::string>{"05.03.2003", "10,00", "06.03.2003", "9,99", "07.03.2003", "10,20"}));
}

TEST_F(PriceEntry, AFundSwitchCommitsFirstAndAPriceBeforeTheSeriesIsAdded) {
  f.AddFund({"Zweiter", "4", "1,0000", "Euro"}, {"10.03.2003", "1,00"});
  PriceEntrySession s(f.state.depotStore, f.calendar, f.prompter);
  s.ScrollTo(0);
  s.LineUp();  // 04.03.
  s.PriceLeft(0, "9,90");
  f.prompter.Script({Answer::Yes});
  ASSERT_TRUE(s.SwitchFund(1).ok());
  EXPECT_EQ(s.FundIndex(), 1u);
  EXPECT_EQ(s.Visible()[0].date, "10.03.2003");
  EXPECT_EQ(PriceRows(f.state.depotStore, kFund.name).front(), "04.03.2003");
  EXPECT_EQ(PriceRows(f.state.depotStore, kFund.name)[1], "9,90");
  EXPECT_EQ(f.prompter.UnscriptedQuestions(), 0);
}

}  // namespace
}  // namespace tellurio::testing
