// The transaction list of a fund: order of the lines, running totals from
// the opening shares, the distributions line and the holding.

#include <gtest/gtest.h>

#include "portfolio/tests/TransactionFixture.h"

namespace tellurio::testing {
namespace {

using Rows = std::vector<std::string>;

TEST(TransactionList, RunsFromTheOpeningSharesAndShowsWhatDistributionsAdded) {
  TransactionFixture f;
  f.AddFund({"Alpha", "1", "1,0500", "Euro"}, {});
  RecordStore& s = f.state.depotStore;
  s.Select("Alpha");
  s.AppendRows(section::kOpening, {"500,00", "10"}, 1);
  // Stored out of date order: the sale is older than the second purchase.
  s.AppendRows(section::kPurchases, {"10.02.2003", "52,50", "5", "262,50"}, 1);
  s.AppendRows(section::kSales, {"20.02.2003", "51,00", "3", "153,00"}, 1);
  s.AppendRows(section::kHolding, {"20.02.2003", "12,5"}, 1);
  EXPECT_TRUE(s.Save().ok());

  const TransactionListView v = BuildTransactionList(s, "Alpha");
  EXPECT_EQ(v.title, "Umsätze des Fonds Alpha");
  EXPECT_EQ(v.lines, (std::vector<TransactionLine>{{"10.02.2003", "", "52,50 Euro", "5", "15,0000"},
                                                   {"20.02.2003", "51,00 Euro", "", "3", "12,0000"}}));
  EXPECT_EQ(v.distributions, "0,5000");  // 12,5 held − 12 from bookings
  EXPECT_EQ(v.holding, "12,5");
}

TEST(TransactionList, SortsByDateWithPurchasesFirstOnTheSameDay) {
  TransactionFixture f;
  f.AddFund({"Alpha", "1", "1,0000", "DM"}, {});
  RecordStore& s = f.state.depotStore;
  s.Select("Alpha");
  s.AppendRows(section::kPurchases, {"05.03.2003", "10,00", "2,0000", "20,00", "01.12.2002", "9,00", "1,0000", "9,00"},
               2);
  s.AppendRows(section::kSales, {"05.03.2003", "10,00", "1,5000", "15,00", "01.01.2003", "9,50", "0,5000", "4,75"}, 2);
  EXPECT_TRUE(s.Save().ok());
  const TransactionListView v = BuildTransactionList(s, "Alpha");
  Rows dates, totals, kinds;
  for (const TransactionLine& l : v.lines) {
    dates.push_back(l.date);
    totals.push_back(l.total);
    kinds.push_back(l.purchasePrice.empty() ? "v" : "k");
  }
  EXPECT_EQ(dates, (Rows{"01.12.2002", "01.01.2003", "05.03.2003", "05.03.2003"}));
  EXPECT_EQ(kinds, (Rows{"k", "v", "k", "v"}));
  EXPECT_EQ(totals, (Rows{"1,0000", "0,5000", "2,5000", "1,0000"}));
  EXPECT_EQ(v.lines[1].salePrice, "9,50 DM");
  // No holding row: all of the running total counts against 0 held.
  EXPECT_EQ(v.holding, "0,0000");
  EXPECT_EQ(v.distributions, "-1,0000");
}

// At 30,00 a share: 200 buy 6,6666… shares (stored 6,6666), 100 sell
// 3,3333… (stored 3,3333), twice.  The holding follows the stored rows:
// 6,6666 − 3,3333 = 3,3333, then 0.  Had the holding moved by the unstored
// digits, the first sale would leave 3,3332 and the list "-0,0001".
TEST(TransactionList, BuyingAndSellingTheSameSharesLeavesNothingBehind) {
  TransactionFixture f;
  f.AddFund({"Beta Renten", "222222", "1,0000", "Euro"}, {"05.03.2003", "30,00"});
  f.prompter.Script({Answer::Yes, Answer::Yes, Answer::Yes});
  const std::pair<TradeKind, const char*> steps[] = {
      {TradeKind::Buy, "6,6666"}, {TradeKind::Sell, "3,3333"}, {TradeKind::Sell, "0,00"}};
  for (const auto& [kind, holding] : steps) {
    const std::string amount = kind == TradeKind::Buy ? "200" : "100";
    f.txDialogs.trade.push_back([amount, holding](TradeSession& s) {
      s.AmountChanged(amount);
      EXPECT_EQ(s.NewHolding(), holding);
      EXPECT_EQ(s.Ok(amount, s.DateText()).step, DialogStep::Accept);
    });
    if (kind == TradeKind::Buy)
      f.tx.Buy();
    else
      f.tx.Sell();
  }
  const TransactionListView v = BuildTransactionList(f.state.depotStore, "Beta Renten");
  std::vector<std::string> totals;
  for (const TransactionLine& l : v.lines) totals.push_back(l.total);
  EXPECT_EQ(totals, (Rows{"6,6666", "3,3333", "0,00"}));
  EXPECT_EQ(v.holding, "0,00");
  EXPECT_EQ(v.distributions, "0,00");
  EXPECT_EQ(f.prompter.UnscriptedQuestions(), 0);
}

// Sums of share counts keep their four decimals and lose the binary noise.
TEST(TransactionList, ShareSumsHaveFourDecimalsAndNoNegativeZero) {
  EXPECT_EQ(ShareSumText(0.3 - 0.1 - 0.2), "0,00");  // -2,8e-17 in binary
  EXPECT_EQ(ShareSumText(0.1 + 0.2 - 0.3), "0,00");  // +5,6e-17
  EXPECT_EQ(ShareSumText(1.1 - 1.0999), "0,0001");   // 0,00009999999999998899
  EXPECT_EQ(ShareSumText(1.0999 - 1.1), "-0,0001");  // a real difference stays
  EXPECT_EQ(ShareSumText(12.5 - 0.0001), "12,4999");
}

TEST(TransactionList, AFundWithoutBookingsShowsZeroesAndTheCommandListsEveryFund) {
  TransactionFixture f;
  f.AddFund({"Beta", "2", "1,0000", "Euro"}, {});
  f.AddFund({"Alpha", "1", "1,0000", "Euro"}, {});
  f.tx.ShowTransactions();
  ASSERT_EQ(f.txDialogs.shownLists.size(), 2u);
  EXPECT_EQ(f.txDialogs.shownLists[0].title, "Umsätze des Fonds Beta");  // the store's key order
  EXPECT_TRUE(f.txDialogs.shownLists[1].lines.empty());
  EXPECT_EQ(f.txDialogs.shownLists[1].holding, "0,0000");
  EXPECT_EQ(f.txDialogs.shownLists[1].distributions, "0,00");
  EXPECT_TRUE(f.events.calls.empty());  // the list only reads

  TransactionFixture empty;
  empty.tx.ShowTransactions();
  EXPECT_TRUE(empty.txDialogs.shownLists.empty());
  EXPECT_TRUE(empty.prompter.Messages().empty());
}

}  // namespace
}  // namespace tellurio::testing
