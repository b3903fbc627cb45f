// The savings-plan simulation, its totals and its report.  Every expected
// figure is worked out by hand in the comment beside it.

#include <gtest/gtest.h>

#include "analysis/SavingsPlan.h"
#include "calendar/DateOrder.h"
#include "platform/Clock.h"

namespace tellurio {
namespace {

// A fund without surcharge from (date, price) pairs, as the store would give
// it.
SavingsFund Series(const std::vector<std::pair<const char*, double>>& rows, double ratio = 0) {
  SavingsFund f;
  f.currency = "Euro";
  f.distributionRatio = ratio;
  for (const auto& [date, price] : rows) {
    f.dates.push_back(Calendar::ParseDate(date));
    f.days.push_back(DayNumber(date, 0));
    f.prices.push_back(price);
  }
  return f;
}

SavingsInput Plan(const char* start, const char* end, const char* amount, const char* rate = "") {
  SavingsInput in;
  in.fund = "Alpha";
  in.purchaseDate = start;
  in.start = start;
  in.end = end;
  in.initialAmount = amount;
  in.monthlyRate = rate;
  return in;
}

struct SavingsPlanTest : ::testing::Test {
  FixedClock clock{CivilDate{2003, 3, 5}};
  Calendar calendar{clock};
};

TEST_F(SavingsPlanTest, OneOffThousandAtHundredEndingAtHundredTenOverOneYear) {
  // 1000 ÷ (100,00 × 1,0000) = 10 shares; 10 × 110,00 = 1100,00; profit
  // 100,00; 02.01.2001 to 02.01.2002 are 365 days, one year, so the return
  // is 1100 ÷ 1000 − 1 = 10,00 %.
  const SavingsFund fund = Series({{"02.01.2001", 100}, {"02.07.2001", 95}, {"02.01.2002", 110}});
  const FundPlanResult r = SimulateFund(Plan("02.01.2001", "02.01.2002", "1000"), fund, 1.0, SavingsMode::OneOff, 1);
  ASSERT_EQ(r.failure, SavingsFailure::None);
  EXPECT_EQ(r.paidIn, "1000,00");
  EXPECT_EQ(r.finalValue, "1100,00");
  const auto t = ComputeTotals({r}, "02.01.2002", calendar);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->paidIn, "1000,00");
  EXPECT_EQ(t->finalValue, "1100,00");
  EXPECT_EQ(t->profit, "100,00");
  EXPECT_EQ(t->returnPercent, "10,00");
  EXPECT_EQ(t->period, "02.01.2001 - 02.01.2002");
}

TEST_F(SavingsPlanTest, SurchargeAndConversionFactor) {
  // 1000 DM at a factor of 2 are 500 in the fund currency; at 100,00 × 1,25
  // that buys 4 shares, worth 4 × 110,00 × 2 = 880,00 DM at the end.
  SavingsFund fund = Series({{"02.01.2001", 100}, {"02.01.2002", 110}});
  fund.surchargeFactor = 1.25;
  const FundPlanResult r = SimulateFund(Plan("02.01.2001", "02.01.2002", "1000"), fund, 2.0, SavingsMode::OneOff, 1);
  EXPECT_EQ(r.finalValue, "880,00");
}

TEST_F(SavingsPlanTest, MonthlyDebitFollowsTheDebitDayAtThePriceOfTheRowBefore) {
  // Debit day 15, rate 100, nothing paid at the start.  March has rows on
  // the 14th (50) and the 16th: the 16th debits at the 14th's price, 100 ÷
  // 50 = 2 shares.  April has a row on the 15th itself (40), which does not
  // debit; the 17th does, at the 15th's price: 100 ÷ 40 = 2,5 shares.  The
  // end row (02.05., 100) is not walked: 4,5 shares × 100 = 450,00 for 200,00
  // paid in.
  const SavingsFund fund = Series({{"01.03.2001", 40},
                                   {"14.03.2001", 50},
                                   {"16.03.2001", 80},
                                   {"02.04.2001", 70},
                                   {"15.04.2001", 40},
                                   {"17.04.2001", 90},
                                   {"02.05.2001", 100}});
  const FundPlanResult r =
      SimulateFund(Plan("01.03.2001", "02.05.2001", "", "100"), fund, 1.0, SavingsMode::Monthly, 15);
  EXPECT_EQ(r.paidIn, "200,00");
  EXPECT_EQ(r.finalValue, "450,00");
}

TEST_F(SavingsPlanTest, DebitDayThirtyFirstNeverDebitsAndThirtiethOnlyInMonthsWithAThirtyFirst) {
  const SavingsFund fund =
      Series({{"31.01.2001", 50}, {"28.02.2001", 40}, {"30.03.2001", 45}, {"31.03.2001", 45}, {"02.04.2001", 60}});
  // "31.": only the 500 paid at the start, 10 shares at 50, worth 600,00.
  FundPlanResult r = SimulateFund(Plan("31.01.2001", "02.04.2001", "500", "100"), fund, 1.0, SavingsMode::Monthly, 31);
  EXPECT_EQ(r.paidIn, "500,00");
  EXPECT_EQ(r.finalValue, "600,00");
  // "30.": the start row (31.01.) debits at the first row's price, 100 ÷ 50
  // = 2 shares; February has no row after the 30th; 31.03. debits at the
  // 30th's price, 100 ÷ 45.  Shares 10 + 2 + 2,2222… = 14,2222…, × 60 =
  // 853,33; paid 700,00.
  r = SimulateFund(Plan("31.01.2001", "02.04.2001", "500", "100"), fund, 1.0, SavingsMode::Monthly, 30);
  EXPECT_EQ(r.paidIn, "700,00");
  EXPECT_EQ(r.finalValue, "853,33");
}

TEST_F(SavingsPlanTest, FirstRowOfAMonthDebitsWhenTheDebitDayIsPast) {
  // Debit day 1, rate 100, all prices 10.  The month's first rows fall on
  // the 2nd or 3rd: each of them debits (Nov, Dec, Jan, Feb), 4 × 100 = 400
  // without increase, 40 shares.  The end row is not walked.
  const SavingsFund fund = Series({{"02.11.2001", 10},
                                   {"05.11.2001", 10},
                                   {"03.12.2001", 10},
                                   {"02.01.2002", 10},
                                   {"04.02.2002", 10},
                                   {"01.03.2002", 10}});
  const FundPlanResult r =
      SimulateFund(Plan("02.11.2001", "01.03.2002", "", "100"), fund, 1.0, SavingsMode::Monthly, 1);
  EXPECT_EQ(r.paidIn, "400,00");
  EXPECT_EQ(r.finalValue, "400,00");
}

TEST_F(SavingsPlanTest, YearlyIncreaseAtEveryJanuaryRowAlsoInTheFirstYear) {
  // Rate 100 with 10 % a year, debit day 1, prices 10: Nov 100, Dec 100, the
  // first January row raises the rate to 110 (less than a year after the
  // start): Jan 110, Feb 110; the next January 121.  The end row (03.02.2003)
  // is not walked.  Paid 100 + 100 + 110 + 110 + 121 = 541,00 = 54,1 shares
  // × 10.
  SavingsInput in = Plan("02.11.2001", "03.02.2003", "", "100");
  in.yearlyIncrease = "10";
  const SavingsFund fund = Series({{"02.11.2001", 10},
                                   {"03.12.2001", 10},
                                   {"02.01.2002", 10},
                                   {"04.02.2002", 10},
                                   {"02.01.2003", 10},
                                   {"03.02.2003", 10}});
  const FundPlanResult r = SimulateFund(in, fund, 1.0, SavingsMode::Monthly, 1);
  EXPECT_EQ(r.paidIn, "541,00");
  EXPECT_EQ(r.finalValue, "541,00");
  // One-off plans have no rate to raise.
  EXPECT_EQ(SimulateFund(in, fund, 1.0, SavingsMode::OneOff, 1).paidIn, "0,00");
}

TEST_F(SavingsPlanTest, DistributionRatioOnceAYearAfterTheDistributionDay) {
  // X = 0,2; 1000 at 100 are 10 shares, all prices 100.
  const SavingsFund fund = Series({{"01.06.2001", 100},
                                   {"15.06.2001", 100},
                                   {"18.06.2001", 100},
                                   {"02.07.2001", 100},
                                   {"02.01.2002", 100},
                                   {"14.06.2002", 100},
                                   {"17.06.2002", 100},
                                   {"01.07.2002", 100}},
                                  0.2);
  SavingsInput in = Plan("01.06.2001", "01.07.2002", "1000");
  // "31.12.": no day lies after it, so the ratio is never applied.
  in.distributionDay = "31.12.";
  EXPECT_EQ(SimulateFund(in, fund, 1.0, SavingsMode::OneOff, 1).finalValue, "1000,00");
  // "15.06.": not on the 15th itself, on the 18.06.2001 (12 shares) and,
  // after the January row, on 17.06.2002 (14,4 shares): 1440,00.
  in.distributionDay = "15.06.";
  EXPECT_EQ(SimulateFund(in, fund, 1.0, SavingsMode::OneOff, 1).finalValue, "1440,00");
  // A start after 15 June: this year's distribution is past; only 2002's
  // applies, 12 shares.
  in.start = in.purchaseDate = "18.06.2001";
  EXPECT_EQ(SimulateFund(in, fund, 1.0, SavingsMode::OneOff, 1).finalValue, "1200,00");
}

TEST_F(SavingsPlanTest, StartBeforeTheFirstRowMovesToIt) {
  // Typed start 02.12.2000, first row 02.01.2001: the plan starts there, and
  // the return is taken over the 365 days from 02.01.2001 (10,00 %, where
  // the 396 days from the typed start would give about 9,18 %).
  const SavingsFund fund = Series({{"02.01.2001", 100}, {"02.01.2002", 110}});
  const FundPlanResult r = SimulateFund(Plan("02.12.2000", "02.01.2002", "1000"), fund, 1.0, SavingsMode::OneOff, 1);
  EXPECT_EQ(r.start, "02.01.2001");
  const auto t = ComputeTotals({r}, "02.01.2002", calendar);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->returnPercent, "10,00");
  EXPECT_EQ(t->period, "02.01.2001 - 02.01.2002");
}

TEST_F(SavingsPlanTest, PeriodWithoutPriceRowsHasNoResult) {
  const SavingsFund fund = Series({{"02.01.2001", 100}, {"02.02.2001", 110}, {"02.06.2001", 120}});
  auto failure = [&](const char* start, const char* end) {
    return SimulateFund(Plan(start, end, "1000"), fund, 1.0, SavingsMode::OneOff, 1).failure;
  };
  EXPECT_EQ(failure("01.12.2000", "01.01.2001"), SavingsFailure::NoData);  // ends before the first row
  EXPECT_EQ(failure("03.06.2001", "01.01.2002"), SavingsFailure::NoData);  // starts after the last row
  EXPECT_EQ(failure("01.03.2001", "01.05.2001"), SavingsFailure::NoData);  // no row between
  EXPECT_EQ(SimulateFund(Plan("01.01.2001", "01.01.2001", "1"), SavingsFund{}, 1.0, SavingsMode::OneOff, 1).failure,
            SavingsFailure::NoData);  // no rows at all
  // An end after the last row ends at the last row: 1000 ÷ 100 × 120.
  const FundPlanResult r = SimulateFund(Plan("01.01.2001", "01.01.2002", "1000"), fund, 1.0, SavingsMode::OneOff, 1);
  EXPECT_EQ(r.failure, SavingsFailure::None);
  EXPECT_EQ(r.finalValue, "1200,00");
}

TEST(DistributionRatio, FromHoldingPurchasesAndSales) {
  using V = std::vector<std::string>;
  // 125 held, 100 bought: 25 of 125 came from distributions, X = 0,2.
  EXPECT_DOUBLE_EQ(DistributionRatio({"01.01.2002", "125"}, {}, {"d", "p", "100", "a"}, {}), 0.2);
  // 25 of them were opening shares: H = 100 = S, X = 0.
  EXPECT_DOUBLE_EQ(DistributionRatio({"01.01.2002", "125"}, {"500", "25"}, {"d", "p", "100", "a"}, {}), 0.0);
  // Nothing held, bought 100, sold 60 and then 50: S = −10, S2 = 100 − 60 =
  // 40, X = 10 ÷ 40 = 0,25.
  EXPECT_DOUBLE_EQ(
      DistributionRatio({"d", "0"}, {}, {"d", "p", "100", "a"}, {"d", "p", "60", "a", "d", "p", "50", "a"}), 0.25);
  // Nothing held and fewer than two sales: nothing to measure against.
  EXPECT_DOUBLE_EQ(DistributionRatio({}, {}, {"d", "p", "100", "a"}, V{}), 0.0);
  EXPECT_DOUBLE_EQ(DistributionRatio({"d", "0"}, {}, {"d", "p", "100", "a"}, {"d", "p", "100", "a"}), 0.0);
  // S2 = 0 (nothing bought, a first sale of 0): 0, never inf or nan.
  EXPECT_DOUBLE_EQ(DistributionRatio({"d", "0"}, {}, {}, {"d", "p", "0", "a", "d", "p", "5", "a"}), 0.0);
  // 10 held of 100 bought: (10 − 100) ÷ 10 = −9 would turn 1 share into −8;
  // a distribution takes at most every share, X = −1.
  EXPECT_DOUBLE_EQ(DistributionRatio({"d", "10"}, {}, {"d", "p", "100", "a"}, {}), -1.0);
  // Nothing held, bought 100, sold 300 and 50: S = −250, S2 = −200, −S ÷ S2
  // = −1,25, also taken as −1.
  EXPECT_DOUBLE_EQ(
      DistributionRatio({"d", "0"}, {}, {"d", "p", "100", "a"}, {"d", "p", "300", "a", "d", "p", "50", "a"}), -1.0);
}

TEST_F(SavingsPlanTest, ADistributionNeverLeavesFewerThanNoShares) {
  // X = −1: 1000 at 100 are 10 shares, all of them gone after 15 June; the
  // plan is worth 0,00, never less.
  const SavingsFund fund = Series({{"02.01.2001", 100}, {"18.06.2001", 100}, {"02.01.2002", 110}},
                                  DistributionRatio({"d", "10"}, {}, {"d", "p", "100", "a"}, {}));
  SavingsInput in = Plan("02.01.2001", "02.01.2002", "1000");
  in.distributionDay = "15.06.";
  const FundPlanResult r = SimulateFund(in, fund, 1.0, SavingsMode::OneOff, 1);
  ASSERT_EQ(r.failure, SavingsFailure::None);
  EXPECT_EQ(r.finalValue, "0,00");
}

TEST_F(SavingsPlanTest, AmountsBeyondWhatANumberHoldsHaveNoResult) {
  // Rate 100, debit day 1, all prices 10, one row a month from December.
  // An increase of 1000 % (factor 11) in two Januaries: Dec 100, Jan 1100,
  // Feb 1100, next Jan 12100 = 14400,00 paid, 1440 shares worth 14400,00.
  SavingsFund fund = Series({{"02.12.2000", 10}, {"02.01.2001", 10}, {"02.02.2001", 10}, {"02.01.2002", 10}});
  SavingsInput in = Plan("02.12.2000", "03.01.2002", "", "100");
  in.yearlyIncrease = "1000";
  FundPlanResult r = SimulateFund(in, fund, 1.0, SavingsMode::Monthly, 1);
  ASSERT_EQ(r.failure, SavingsFailure::None);
  EXPECT_EQ(r.paidIn, "14400,00");
  EXPECT_EQ(r.finalValue, "14400,00");

  // An increase of 10^20 − 1 % raises the rate about 10^18-fold every
  // January: after 18 Januaries beyond 10^308, the largest number there is.
  // Such a plan has no figure; "0,00" would be a wrong one.
  fund = Series({{"02.12.2000", 10}});
  for (int year = 2001; year <= 2021; ++year)
    for (const char* dayAndMonth : {"02.01.", "02.02."}) {
      const std::string date = dayAndMonth + std::to_string(year);
      fund.dates.push_back(Calendar::ParseDate(date));
      fund.days.push_back(DayNumber(date, 0));
      fund.prices.push_back(10);
    }
  in = Plan("02.12.2000", "03.01.2021", "", "100");
  in.yearlyIncrease = "99999999999999999999";
  r = SimulateFund(in, fund, 1.0, SavingsMode::Monthly, 1);
  EXPECT_EQ(r.failure, SavingsFailure::TooLarge);
  EXPECT_EQ(r.paidIn, "");
  EXPECT_EQ(r.finalValue, "");
}

TEST_F(SavingsPlanTest, TotalsAddUpTheFundsWithAResultAndSayKaForNoPeriodOrNothingPaid) {
  FundPlanResult a{SavingsFailure::None, "02.01.2001", "1000,00", "1100,00", "02.01.2002"};
  FundPlanResult b{SavingsFailure::None, "03.01.2001", "500,50", "400,25", "02.01.2002"};
  FundPlanResult failed{SavingsFailure::NoData, "", "", "", ""};
  // 1000,00 + 500,50 = 1500,50 paid, 1100,00 + 400,25 = 1500,25 worth,
  // profit −0,25; the period starts at the first fund's start.
  auto t = ComputeTotals({failed, a, b}, "02.01.2002", calendar);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->paidIn, "1500,50");
  EXPECT_EQ(t->finalValue, "1500,25");
  EXPECT_EQ(t->profit, "-0,25");
  EXPECT_EQ(t->period, "02.01.2001 - 02.01.2002");
  EXPECT_FALSE(ComputeTotals({failed}, "02.01.2002", calendar));
  // 0 days, and nothing paid in.
  FundPlanResult sameDay = a;
  sameDay.end = "02.01.2001";
  EXPECT_EQ(ComputeTotals({sameDay}, "02.01.2001", calendar)->returnPercent, kNoReturn);
  FundPlanResult nothing{SavingsFailure::None, "02.01.2001", "0,00", "0,00", "02.01.2002"};
  EXPECT_EQ(ComputeTotals({nothing}, "02.01.2002", calendar)->returnPercent, kNoReturn);
  // Two amounts of about 10^308 add up to more than a number holds: no
  // totals, rather than a sum written "0,00".
  const std::string huge(308, '9');
  FundPlanResult big{SavingsFailure::None, "02.01.2001", huge + ",00", huge + ",00", "02.01.2002"};
  EXPECT_FALSE(ComputeTotals({big, big}, "02.01.2002", calendar));
  EXPECT_TRUE(ComputeTotals({big}, "02.01.2002", calendar));
}

TEST(SavingsReport, LinesShowEachFundsOwnInputsWithTwoDecimals) {
  SavingsCalculation c;
  c.mode = SavingsMode::Monthly;
  c.scope = SavingsScope::Depot;
  c.depot = "Rente";
  c.currency = "DM";
  c.debitDay = 5;
  SavingsInput a = Plan("02.01.2001", "02.01.2002", "1000", "");
  a.yearlyIncrease = "2,5";
  a.distributionDay = "15.06.";
  SavingsInput b = Plan("02.01.2001", "02.01.2002", "", "100,5");
  b.fund = "Beta";
  c.inputs = {a, b};
  c.results = {{SavingsFailure::None, "02.01.2001", "1000,00", "1100,00", "02.01.2002"},
               {SavingsFailure::None, "03.01.2001", "1206,00", "1300,00", "02.01.2002"}};
  c.totals = {"2206,00", "2400,00", "194,00", "8,79", "02.01.2001 - 02.01.2002"};
  const SavingsReport r = BuildSavingsReport(c);
  const std::vector<std::string> texts = r.Texts();
  ASSERT_EQ(texts.size(), 12u);
  EXPECT_EQ(r.title, "Renditeberechnung des Depots Rente");
  EXPECT_EQ(texts[0], r.title);
  EXPECT_EQ(texts[1], "Ausgangswerte");
  EXPECT_EQ(texts[2], kReportColumnHeader);
  // The first fund's line holds its own inputs, not the totals.
  EXPECT_EQ(r.lines[3].cells, (std::vector<std::string>{"Alpha", "02.01.2001", "1000,00 DM", "0,00 DM", "2,50%",
                                                        "15.06.", "02.01.2001 - 02.01.2002"}));
  EXPECT_EQ(r.lines[4].cells, (std::vector<std::string>{"Beta", "02.01.2001", "0,00 DM", "100,50 DM", "0,00%", "31.12.",
                                                        "03.01.2001 - 02.01.2002"}));
  // The purchase date ends where "Kaufdatum" ends in the header (column 62).
  EXPECT_EQ(texts[3].find("02.01.2001"), 52u);
  EXPECT_EQ(texts[3].rfind("2,50%") + 5, std::string(kReportColumnHeader).find("Dynamisierung") + 13);
  EXPECT_EQ(texts[5], "Tag der monatlichen Abbuchung der Sparrate: 05.");
  EXPECT_EQ(texts[6], "Ergebis");
  EXPECT_EQ(texts[7], "Investierter Gesamtbetrag: 2206,00 DM");
  EXPECT_EQ(texts[8], "Erzielter Endbetrag: 2400,00 DM");
  EXPECT_EQ(texts[9], "Gewinn: 194,00 DM");
  EXPECT_EQ(texts[10], "Rendite:8,79%");
  EXPECT_EQ(texts[11], "Anlagezeitraum: 02.01.2001 - 02.01.2002");

  // One fund, one-off: its name in the title, no debit-day line, and no "%"
  // after "k.A.".
  c.mode = SavingsMode::OneOff;
  c.scope = SavingsScope::Fund;
  c.inputs = {a};
  c.results = {c.results[0]};
  c.totals.returnPercent = kNoReturn;
  const std::vector<std::string> one = BuildSavingsReport(c).Texts();
  ASSERT_EQ(one.size(), 10u);
  EXPECT_EQ(one[0], "Renditeberechnung des Fonds Alpha");
  EXPECT_EQ(one[4], "Ergebis");
  EXPECT_EQ(one[8], "Rendite:k.A.");
}

TEST(SavingsReport, DistributionDayFormat) {
  EXPECT_TRUE(IsDistributionDay("15.06."));
  EXPECT_TRUE(IsDistributionDay("29.02."));
  EXPECT_TRUE(IsDistributionDay("31.12."));
  EXPECT_FALSE(IsDistributionDay("31.06."));
  EXPECT_FALSE(IsDistributionDay("1.6."));
  EXPECT_FALSE(IsDistributionDay("15.13."));
  EXPECT_FALSE(IsDistributionDay("00.01."));
  EXPECT_FALSE(IsDistributionDay("15.06.2001"));
  EXPECT_EQ(ReportNumber(""), "0,00");
  EXPECT_EQ(ReportNumber("2,5"), "2,50");
  EXPECT_EQ(ReportNumber("100,50"), "100,50");
}

}  // namespace
}  // namespace tellurio
