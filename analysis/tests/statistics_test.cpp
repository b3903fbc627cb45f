// Fund statistics on real depot stores, with the figures worked out by hand.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>
#include <set>

#include "analysis/Statistics.h"
#include "calendar/NumberText.h"
#include "portfolio/tests/PortfolioFixture.h"
#include "storage/FileSet.h"

namespace tellurio::testing {
namespace {

using V = std::vector<double>;

FundMaster Fund(const std::string& name, const std::string& currency = "Euro") {
  return FundMaster{name, name.substr(0, 6), "1,0000", currency};
}

struct StatisticsTest : ::testing::Test {
  DepotFixture f;
  Statistics stats{f.state, f.calendar};
  const FundStatistics& Depot(size_t i) { return stats.Table(Scope::DepotFunds).at(i); }
};

TEST_F(StatisticsTest, AFundWithoutPricesHasOnlyTheDefaults) {
  f.AddFund(Fund("Leer"), {});
  stats.RecomputeStatistics(Scope::DepotFunds);
  const FundStatistics& s = Depot(0);
  EXPECT_EQ(s.weeklyChanges, V{0});
  EXPECT_EQ(s.monthlyChanges, V{0});
  EXPECT_EQ(s.yearlyChanges, V{0});
  EXPECT_EQ(s.volatility, 1);
  EXPECT_EQ(s.maximumLoss, 0);
  EXPECT_EQ(s.sharpeRatio, 0);
  EXPECT_EQ(s.treynorRatio, 0);
}

TEST_F(StatisticsTest, AMonthWithoutPricesAveragesZero) {
  // January 10, February nothing, March 5.
  f.AddFund(Fund("Luecke"), {"06.01.2003", "10,00", "07.01.2003", "10,00", "03.03.2003", "5,00"});
  stats.RecomputeStatistics(Scope::DepotFunds);
  EXPECT_EQ(Depot(0).monthlyAverages, (V{10, 0, 5}));
  EXPECT_EQ(Depot(0).monthlyChanges, (V{-100, 100}));
  EXPECT_EQ(Depot(0).yearlyAverages, (V{25.0 / 3}));
  EXPECT_EQ(Depot(0).yearlyChanges, V{0});
  EXPECT_EQ(stats.DerivedSeriesList(0, Scope::DepotFunds, 0),
            (std::vector<std::string>{"01/03", "10,00", "02/03", "0,00", "03/03", "5,00"}));
}

TEST_F(StatisticsTest, LongestLossPeriodCountsTheRunOpenAtTheEnd) {
  const double averages[] = {10, 9, 8, 9, 7, 6, 5};
  std::vector<std::string> rows;
  for (int m = 0; m < 7; ++m) {
    rows.push_back(Calendar::FormatDate(MakePackedDate(2002, m + 1, 15)));
    rows.push_back(FormatNumber(averages[m], 2));
  }
  f.AddFund(Fund("Verlust"), rows);
  stats.RecomputeStatistics(Scope::DepotFunds);
  EXPECT_EQ(Depot(0).longestLossPeriod, 3);
  EXPECT_EQ(stats.FundInfoLines(0, Scope::DepotFunds)[11], "3,00 Monate");
  // Maximum loss over fewer than 61 rows: newest minus first.
  EXPECT_EQ(Depot(0).maximumLoss, -5);
}

TEST_F(StatisticsTest, OneMonthOfLossesReadsInTheSingular) {
  f.AddFund(Fund("Eins"), {"15.01.2002", "10,00", "15.02.2002", "9,00", "15.03.2002", "9,50"});
  stats.RecomputeStatistics(Scope::DepotFunds);
  EXPECT_EQ(stats.FundInfoLines(0, Scope::DepotFunds)[11], "1,00 Monat");
}

TEST_F(StatisticsTest, FridayQuotesFormOneWeekEachAndAFirstFridayIsLeftOut) {
  // 07.03., 14.03., 21.03., 28.03.2003 are Fridays.
  f.AddFund(Fund("Freitag"),
            {"07.03.2003", "99,00", "14.03.2003", "10,00", "21.03.2003", "11,00", "28.03.2003", "12,10"});
  // A week ends on Friday; the Monday to Wednesday before it belong to it.
  f.AddFund(Fund("Woche"), {"03.03.2003", "10,00", "04.03.2003", "0,00", "05.03.2003", "20,00", "07.03.2003", "30,00",
                            "10.03.2003", "40,00"});
  stats.RecomputeStatistics(Scope::DepotFunds);
  ASSERT_EQ(Depot(0).weeklyChanges.size(), 2u);
  EXPECT_NEAR(Depot(0).weeklyChanges[0], 10, 1e-9);
  EXPECT_NEAR(Depot(0).weeklyChanges[1], 10, 1e-9);
  // Week 1: 10, 0, 20, 30 over three nonzero prices = 20; week 2: 40.
  EXPECT_EQ(Depot(1).weeklyChanges, V{100});
}

// 5,00 to 5,35 is a change of exactly 7 %; the division leaves
// 6.999999999999984, which the shown figure must not cut to "6,99".
TEST_F(StatisticsTest, AWholePercentChangeIsShownWhole) {
  f.AddFund(Fund("Sieben"), {"02.01.2002", "5,00", "03.02.2003", "5,35"});
  stats.RecomputeStatistics(Scope::DepotFunds);
  EXPECT_EQ(FormatNumber(Depot(0).changeSinceFirst, 2), "7,00");
  EXPECT_EQ(FormatNumber(Depot(0).changeSinceYearStart, 2), "0,00");  // the only 2003 price is the year start
  ASSERT_EQ(Depot(0).yearlyChanges.size(), 1u);
  EXPECT_EQ(FormatNumber(Depot(0).yearlyChanges[0], 2), "7,00");
}

TEST_F(StatisticsTest, ValueProfitAndReturnOfAFundHeld) {
  f.AddFund(Fund("Gehalten"), {"02.01.2002", "10,00", "02.01.2003", "12,00"});
  RecordStore& d = f.state.depotStore;
  d.Select("Gehalten");
  d.AppendRows(section::kPurchases, {"02.01.2002", "10,00", "100,0000", "1000,00"}, 1);
  d.AppendRows(section::kSales, {"01.06.2002", "11,00", "10,0000", "110,00"}, 1);
  d.AppendRows(section::kHolding, {"01.06.2002", "90,0000"}, 1);
  d.AppendRows(section::kOpening, {"100,00", "0"}, 1);
  EXPECT_TRUE(d.Save().ok());
  f.state.currency = "DM";
  f.state.currencyFactors = {"Euro", "1,95583"};
  stats.RecomputeStatistics(Scope::DepotFunds);
  const FundStatistics& s = Depot(0);
  EXPECT_DOUBLE_EQ(s.value, 1080);
  EXPECT_DOUBLE_EQ(s.profit, 1080 + 110 - 1100);
  EXPECT_DOUBLE_EQ(s.changeSinceLastPurchase, 20);
  EXPECT_DOUBLE_EQ(s.changeSinceFirst, 20);
  EXPECT_DOUBLE_EQ(s.changeSinceYearStart, 0);                   // the first price of January 2003 is the year start
  EXPECT_NEAR(s.annualReturn, (1190.0 / 1100 - 1) * 100, 1e-9);  // exactly one year
  EXPECT_EQ(stats.DepotValue(), "2112,29");                      // 1080 x 1,95583
  EXPECT_EQ(stats.DepotProfit(), "176,02");
  const auto width = [](const std::string& t) { return static_cast<int>(t.size()) * 7; };
  const auto lines = stats.DepotTotalLines(width);
  EXPECT_EQ(lines[0], "Wert des Depots:   2112,29 DM");
  EXPECT_EQ(lines[1], "Gewinn des Depots:  176,02 DM");
}

TEST_F(StatisticsTest, DepotTotalsAreCutToCentsAfterEveryFund) {
  for (const char* name : {"Klein1", "Klein2"}) {
    f.AddFund(Fund(name), {"02.01.2003", "0,019"});
    f.state.depotStore.Select(name);
    f.state.depotStore.AppendRows(section::kHolding, {"02.01.2003", "1"}, 1);
  }
  EXPECT_TRUE(f.state.depotStore.Save().ok());
  stats.RecomputeStatistics(Scope::DepotFunds);
  EXPECT_EQ(stats.DepotValue(), "0,02");  // 0,01 after the first, then 0,01 + 0,019
}

TEST_F(StatisticsTest, SharpeAndTreynorFromYearsAndTheDax) {
  f.AddFund(Fund("Risiko"),
            {"15.06.2001", "10,00", "15.06.2002", "11,00", "13.06.2003", "12,00", "16.06.2003", "12,50"});
  f.state.moneyMarketRate = 3;
  // The change of the newest DAX day counts, not that of earlier days; a
  // date without its value at the end is no day.
  f.state.daxSeries = {"11.06.2003", "1500,00", "12.06.2003", "3000,00", "13.06.2003", "3030,00", "16.06.2003"};
  stats.RecomputeStatistics(Scope::AllFunds);  // empty archive: no rows
  EXPECT_TRUE(stats.Table(Scope::AllFunds).empty());
  stats.RecomputeStatistics(Scope::DepotFunds);
  const FundStatistics& s = Depot(0);
  ASSERT_EQ(s.yearlyAverages.size(), 3u);
  const double excess = (12.25 / 10 - 1) * 100 - 3;
  ASSERT_GT(s.volatility, 0);
  EXPECT_NEAR(s.sharpeRatio, excess / s.volatility, 1e-9);
  EXPECT_NEAR(s.treynorRatio, excess / (0.5 / 0.01), 1e-9);
  // A new rate moves only the two ratios.
  f.state.moneyMarketRate = 5;
  stats.ComputeRiskFigures(Scope::DepotFunds);
  EXPECT_NEAR(Depot(0).sharpeRatio, (excess - 2) / s.volatility, 1e-9);
}

TEST_F(StatisticsTest, DamagedOrUnorderedDatesDoNotHang) {
  f.AddFund(Fund("Rueckwaerts"),
            {"02.01.2003", "10,00", "02.01.2001", "11,00", "xx.yy.zzzz", "12,00", "31.13.2002", "13,00"});
  stats.RecomputeStatistics(Scope::DepotFunds);
  EXPECT_FALSE(Depot(0).monthlyAverages.empty());
  EXPECT_FALSE(Depot(0).yearlyAverages.empty());
}

TEST_F(StatisticsTest, RankingPutsTheLargestLastMonthGainFirst) {
  f.AddFund(Fund("Flach"), {"15.01.2003", "10,00", "14.02.2003", "10,00"});
  f.AddFund(Fund("Steigt"), {"15.01.2003", "10,00", "14.02.2003", "13,00"});
  f.AddFund(Fund("Faellt"), {"15.01.2003", "10,00", "14.02.2003", "8,00"});
  f.AddFund(Fund("AuchFlach"), {"15.01.2003", "5,00", "14.02.2003", "5,00"});
  stats.RecomputeStatistics(Scope::DepotFunds);
  const auto r = stats.FundRanking(Scope::DepotFunds);
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0].fund, "Steigt");
  EXPECT_EQ(r[0].changeText, "3,00");
  EXPECT_EQ(r[0].percentText, "30,00%");
  EXPECT_EQ(r[1].fund, "Flach");
  EXPECT_EQ(r[2].fund, "AuchFlach");
  EXPECT_EQ(r[3].fund, "Faellt");
}

TEST(DerivedLabels, MonthsRunIntoTheNextCenturyAndYearsCountOn) {
  EXPECT_EQ(DerivedLabels(MakePackedDate(1999, 11, 3), 0, 3), (std::vector<std::string>{"11/99", "12/99", "01/00"}));
  EXPECT_EQ(DerivedLabels(MakePackedDate(1999, 11, 3), 1, 2), (std::vector<std::string>{"1999", "2000"}));
  EXPECT_EQ(DerivedLabels(MakePackedDate(1999, 11, 3), 3, 2), (std::vector<std::string>{"2000", "2001"}));
  // The change from November to December 1999 is December's.
  EXPECT_EQ(DerivedLabels(MakePackedDate(1999, 11, 3), 2, 3), (std::vector<std::string>{"12/99", "01/00", "02/00"}));
  EXPECT_EQ(DerivedLabels(MakePackedDate(1999, 12, 31), 2, 1), (std::vector<std::string>{"01/00"}));
}

// The month labels are written digit by digit; they read as "%02d/%02d" of
// the month and the two-digit year would, for any first date a damaged
// file may hold: months beyond 12 count on without wrapping, a negative
// packed date gives negative months.
TEST(DerivedLabels, MonthLabelsReadAsTheirPrintfForm) {
  for (const PackedDate first : {MakePackedDate(1999, 11, 3), MakePackedDate(2026, 1, 1), MakePackedDate(1, 12, 31),
                                 MakePackedDate(2000, 0, 0), MakePackedDate(2010, 13, 1), MakePackedDate(2010, 99, 1),
                                 MakePackedDate(2010, 200, 1), MakePackedDate(-5, 3, 1), -70000, PackedDate{0}}) {
    for (const int kind : {0, 2}) {
      const std::vector<std::string> labels = DerivedLabels(first, kind, 300);
      ASSERT_EQ(labels.size(), 300u);
      int month = PackedMonth(first), year = PackedYear(first);
      if (kind == 2 && ++month == 13) {
        month = 1;
        ++year;
      }
      for (const std::string& label : labels) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "%02d/%02d", month % 100, ((year % 100) + 100) % 100);
        ASSERT_EQ(label, expected) << first;
        if (++month == 13) {
          month = 1;
          ++year;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tellurio::testing

namespace tellurio::testing {
namespace {

// The short cuts must read every text exactly as the general readers do.
TEST(PriceRowReaders, AgreeWithTheGeneralReaders) {
  std::mt19937 random(11);
  const std::string alphabet = "0123456789.,- x/:";
  for (int n = 0; n < 50000; ++n) {
    std::string date, price;
    if (n % 2 == 0) {
      date = Calendar::FormatDate(MakePackedDate(1900 + static_cast<int>(random() % 300),
                                                 1 + static_cast<int>(random() % 12),
                                                 1 + static_cast<int>(random() % 31)));
      price = std::to_string(random() % 100000) + "," + std::to_string(random() % 1000);
    }
    // Damage some characters, or make up texts of any length.
    const int changes = static_cast<int>(random() % 4);
    for (int c = 0; c < changes && !date.empty(); ++c)
      date[random() % date.size()] = alphabet[random() % alphabet.size()];
    for (int c = 0; c < changes && !price.empty(); ++c)
      price[random() % price.size()] = alphabet[random() % alphabet.size()];
    if (n % 2 == 1) {
      for (size_t l = random() % 14; l > 0; --l) date += alphabet[random() % alphabet.size()];
      for (size_t l = random() % 20; l > 0; --l) price += alphabet[random() % alphabet.size()];
    }
    ASSERT_EQ(ReadPriceDate(date), Calendar::ParseDate(date)) << date;
    const double a = ReadPrice(price), b = ParseNumber(price);
    ASSERT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << price;
  }
  EXPECT_EQ(ReadPriceDate("07.03.2003"), MakePackedDate(2003, 3, 7));
  EXPECT_EQ(ReadPrice("0,57"), 0.57);
}

// A price section walked in one piece gives, where it gives anything, the
// rows the line readers give, also where a date keeps the month and year
// of the date before and only its day is damaged; sections of the usual
// form are always walked.
TEST(PriceRowReaders, ASectionInOnePieceIsReadAsItsLines) {
  std::mt19937 random(23);
  int walked = 0, damaged = 0;
  for (int n = 0; n < 400; ++n) {
    const bool damage = n % 2 == 1;
    std::vector<std::string> lines;
    int day = 1 + static_cast<int>(random() % 28), month = 1 + static_cast<int>(random() % 12), year = 1995;
    const int rows = 1 + static_cast<int>(random() % 120);
    for (int r = 0; r < rows; ++r) {
      if ((day += 1 + static_cast<int>(random() % 3)) > 28) {
        day -= 27;
        if (++month == 13) month = 1, ++year;
      }
      std::string date = Calendar::FormatDate(MakePackedDate(year, month, day));
      std::string price = std::to_string(5 + random() % 500) + "," + std::to_string(10 + random() % 90);
      if (damage && random() % 8 == 0) {
        const char* days[] = {":1", "0/", "1a", " 7", "3"};
        const char* prices[] = {"12", "1.234,5", "", "7,125", "abc"};
        if (random() % 2)
          date = days[random() % 5] + date.substr(2);
        else
          price = prices[random() % 5];
      }
      lines.push_back(date);
      lines.push_back(price);
    }
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
      text += lines[i] + (i + 1 == lines.size() ? "" : random() % 9 ? "\n" : "\r\n");
    std::vector<double> price(static_cast<size_t>(rows), -1);
    std::vector<PackedDate> date(static_cast<size_t>(rows), -1);
    if (!ReadPriceRows(text, static_cast<size_t>(rows), price.data(), date.data())) {
      ASSERT_TRUE(damage) << "a section of the usual form is walked: " << text;
      ++damaged;
      continue;
    }
    ++walked;
    for (size_t r = 0; r < static_cast<size_t>(rows); ++r) {
      ASSERT_EQ(date[r], ReadPriceDate(lines[2 * r])) << lines[2 * r];
      const double expected = ReadPrice(lines[2 * r + 1]);
      ASSERT_TRUE(price[r] == expected || (std::isnan(price[r]) && std::isnan(expected))) << lines[2 * r + 1];
    }
  }
  // Both ways were taken.
  EXPECT_GT(walked, 200);
  EXPECT_GT(damaged, 50);
}

// A store of several megabytes is decoded in two halves, and the price
// section of one fund lies in both.  Its rows are those the line readers
// give, whether the halves meet between two rows or between the date and
// the price of one row, and also when a date further on is of another form
// (the walk gives up after writing some rows).
TEST(PriceRowReaders, ASectionInBothHalvesOfALargeStoreIsReadAsItsLines) {
  TempDir dir;
  std::set<bool> seams;  // whether the halves met inside a row
  for (int variant = 0; variant < 12 && (seams.size() < 2 || variant < 3); ++variant) {
    const bool damaged = variant == 2;
    {
      RecordStore store;
      ASSERT_TRUE(store.Create(dir / ("Gross" + std::to_string(variant)), 6, fileset::kDepotRowWidths).ok());
      for (int k = 0; k < 4; ++k) {
        store.AddRecord(Fund("Fonds " + std::to_string(k)).Row());
        std::vector<std::string> rows;
        // 4 x 60,000 rows of about 20 bytes: over the size decoded in two
        // halves.  The first fund's length moves the seam from variant to
        // variant.
        const int count = 60000 + (k == 0 ? variant : 0);
        for (int i = 0; i < count; ++i) {
          rows.push_back(Calendar::FormatDate(MakePackedDate(1990 + i / 336, 1 + i / 28 % 12, 1 + i % 28)));
          rows.push_back(FormatNumber(10 + (i * 7 + k) % 5000 / 100.0, 2));
        }
        if (damaged) rows[rows.size() - 2] = "1.1.2030";
        store.AppendRows(section::kPrices, rows, count);
      }
      ASSERT_TRUE(store.Save().ok());
    }
    RecordStore store;
    ASSERT_TRUE(store.Create(dir / ("Gross" + std::to_string(variant)), 6, fileset::kDepotRowWidths).ok());
    ASSERT_TRUE(store.Open().ok());
    int across = 0;
    for (int r = 0; r < store.RecordCount(); ++r) {
      const RecordView v = store.Values(section::kPrices, r);
      if (v.InFirstPiece() < v.size()) {
        ++across;
        ASSERT_TRUE(v.Text().empty());
        seams.insert(v.InFirstPiece() % 2 == 1);
      }
      const size_t rows = v.size() / 2;
      std::vector<double> price(rows, -1);
      std::vector<PackedDate> date(rows, -1);
      ReadPriceSection(v, price.data(), date.data());
      for (size_t i = 0; i < rows; ++i) {
        ASSERT_EQ(date[i], ReadPriceDate(v[2 * i])) << "fund " << r << ", row " << i;
        ASSERT_EQ(price[i], ReadPrice(v[2 * i + 1])) << "fund " << r << ", row " << i;
      }
    }
    ASSERT_EQ(across, 1) << "one section lies in both halves";
  }
  EXPECT_EQ(seams.size(), 2u) << "the halves met both between rows and inside one";
}

}  // namespace
}  // namespace tellurio::testing

namespace tellurio::testing {
namespace {

// Recomputing after a change reads the changed fund again and keeps the
// others as read after opening: the figures match a fresh start.
TEST_F(StatisticsTest, ARecomputeAfterAnEditMatchesAFreshStart) {
  for (int k = 0; k < 300; ++k) {
    std::vector<std::string> rows;
    for (int i = 0; i < 40; ++i) {
      rows.push_back(Calendar::FormatDate(MakePackedDate(2002, 1 + i / 20, 1 + i % 20)));
      rows.push_back(FormatNumber(10 + k + i * 0.25, 2));
    }
    f.AddFund(Fund("Fonds " + std::to_string(k)), rows, true);
  }
  f.Reopen();
  stats.RecomputeStatistics(Scope::AllFunds);
  const std::vector<double> before = stats.Table(Scope::AllFunds)[7].monthlyAverages;
  // Edit one fund's prices (in memory, as the commands do before saving).
  f.state.auxiliaryStore.Select("Fonds 7");
  f.state.auxiliaryStore.UpdateRow(section::kPrices, {"01.02.2002", "99,00"}, "01.02.2002", 0);
  stats.RecomputeStatistics(Scope::AllFunds);
  const std::vector<FundStatistics> again = stats.Table(Scope::AllFunds);
  Statistics fresh(f.state, f.calendar);
  fresh.RecomputeStatistics(Scope::AllFunds);
  ASSERT_EQ(again.size(), 300u);
  for (size_t i = 0; i < again.size(); ++i) {
    EXPECT_EQ(again[i].monthlyAverages, fresh.Table(Scope::AllFunds)[i].monthlyAverages) << i;
    EXPECT_EQ(again[i].volatility, fresh.Table(Scope::AllFunds)[i].volatility) << i;
  }
  EXPECT_NE(again[7].monthlyAverages, before) << "the edited fund was read again";
}

// Every figure of every row of a equals that of the same row of b.
void ExpectSameRows(const std::vector<FundStatistics>& a, const std::vector<FundStatistics>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].weeklyChanges, b[i].weeklyChanges) << i;
    EXPECT_EQ(a[i].monthlyAverages, b[i].monthlyAverages) << i;
    EXPECT_EQ(a[i].yearlyAverages, b[i].yearlyAverages) << i;
    EXPECT_EQ(a[i].yearlyChanges, b[i].yearlyChanges) << i;
    for (double FundStatistics::*field :
         {&FundStatistics::changeSinceFirst, &FundStatistics::changeSinceYearStart,
          &FundStatistics::changeSinceLastPurchase, &FundStatistics::profit, &FundStatistics::annualReturn,
          &FundStatistics::value, &FundStatistics::volatility, &FundStatistics::maximumLoss,
          &FundStatistics::longestLossPeriod, &FundStatistics::sharpeRatio, &FundStatistics::treynorRatio})
      EXPECT_EQ(a[i].*field, b[i].*field) << i;
  }
}

// Every figure of every row equals that of a table computed from scratch.
void ExpectSameAsFresh(const Statistics& stats, const DepotFixture& f, Scope scope) {
  Statistics fresh(f.state, f.calendar);
  fresh.RecomputeStatistics(scope);
  ExpectSameRows(stats.Table(scope), fresh.Table(scope));
  if (scope == Scope::DepotFunds) {
    EXPECT_EQ(stats.DepotValue(), fresh.DepotValue());
    EXPECT_EQ(stats.DepotProfit(), fresh.DepotProfit());
  }
}

// Funds held with a purchase and a holding: a recompute takes over the rows
// of funds whose records are unchanged and computes the others; after an
// edited holding, a deleted fund (the later rows move up), a new
// money-market rate and a store read again, every row is that of a fresh
// start.
TEST_F(StatisticsTest, RowsTakenOverAfterEditsDeletionsAndNewRatesAreThoseOfAFreshStart) {
  for (int k = 0; k < 5; ++k) {
    std::vector<std::string> rows;
    for (int i = 0; i < 60; ++i) {
      rows.push_back(Calendar::FormatDate(MakePackedDate(2002, 1 + i / 20, 1 + i % 20)));
      rows.push_back(FormatNumber(20 + 3 * k + (i % 7) * 0.5, 2));
    }
    const std::string name = "Depotfonds " + std::to_string(k);
    f.AddFund(Fund(name), rows);
    ASSERT_EQ(f.state.depotStore.Select(name), 1);
    f.state.depotStore.ReplaceRows(section::kPurchases, {"02.01.2002", "20,00", "10,0000", "200,00"});
    f.state.depotStore.ReplaceRows(section::kHolding, {"02.01.2002", std::to_string(10 + k) + ",0000"});
  }
  ASSERT_TRUE(f.state.depotStore.Save().ok());
  f.Reopen();
  f.state.moneyMarketRate = 3;
  stats.RecomputeStatistics(Scope::DepotFunds);
  const double valueOfFund3 = Depot(3).value;

  // Fund 2 holds 50 shares now: its value grows, the depot value with it.
  ASSERT_EQ(f.state.depotStore.Select("Depotfonds 2"), 1);
  f.state.depotStore.UpdateRow(section::kHolding, {"02.01.2002", "50,0000"}, "02.01.2002", 0);
  const std::string depotValueBefore = stats.DepotValue();
  stats.RecomputeStatistics(Scope::DepotFunds);
  ExpectSameAsFresh(stats, f, Scope::DepotFunds);
  EXPECT_NE(stats.DepotValue(), depotValueBefore);

  ASSERT_EQ(f.state.depotStore.DeleteRecord("Depotfonds 1"), 1);
  stats.RecomputeStatistics(Scope::DepotFunds);
  ExpectSameAsFresh(stats, f, Scope::DepotFunds);
  EXPECT_EQ(Depot(2).value, valueOfFund3) << "fund 3 is row 2 now";

  const double sharpeBefore = Depot(0).sharpeRatio;
  f.state.moneyMarketRate = 7;
  stats.RecomputeStatistics(Scope::DepotFunds);
  ExpectSameAsFresh(stats, f, Scope::DepotFunds);
  EXPECT_NE(Depot(0).sharpeRatio, sharpeBefore);

  f.Reopen();
  stats.RecomputeStatistics(Scope::DepotFunds);
  ExpectSameAsFresh(stats, f, Scope::DepotFunds);
}

// The archive ranking of stats, line for line that of the same store's
// archive table computed whole.
void ExpectRankingOfWholeRows(const Statistics& stats, const DepotFixture& f, const std::string& when) {
  const std::vector<RankingLine> fromTails = stats.FundRanking(Scope::AllFunds);
  Statistics whole(f.state, f.calendar);
  whole.RecomputeStatistics(Scope::AllFunds);
  ASSERT_EQ(whole.Table(Scope::AllFunds).size(), f.state.auxiliaryStore.Keys().size());
  const std::vector<RankingLine>& fromRows = whole.FundRanking(Scope::AllFunds);
  ASSERT_EQ(fromTails.size(), fromRows.size());
  for (size_t i = 0; i < fromRows.size(); ++i) {
    EXPECT_EQ(fromTails[i].fund, fromRows[i].fund) << when << i;
    EXPECT_EQ(fromTails[i].change, fromRows[i].change) << when << fromRows[i].fund;
    EXPECT_EQ(fromTails[i].changeText, fromRows[i].changeText) << when << fromRows[i].fund;
    EXPECT_EQ(fromTails[i].percentText, fromRows[i].percentText) << when << fromRows[i].fund;
  }
}

// Price rows of archived funds of every shape the ranking meets: daily
// prices over a few years, months left out (also for more than a year, and
// the same month of the next year), prices that stay the same or fall to 0
// over the last months, damaged and unordered dates, prices in other forms,
// a single row and none.
std::vector<std::string> ArchiveRows(std::mt19937& rng, int longest = 700) {
  std::vector<std::string> rows;
  const unsigned shape = rng() % 7;
  if (shape == 6) {
    if (rng() % 2) rows = {"15.01.2003", "10,00"};
    return rows;
  }
  using namespace std::chrono;
  sys_days day = year{1998 + static_cast<int>(rng() % 3)} / static_cast<int>(1 + rng() % 12) / 3;
  const int count = 5 + static_cast<int>(rng() % static_cast<unsigned>(longest));
  const int flatFrom = shape == 1 || shape == 2 ? count - static_cast<int>(rng() % 120) : count;
  double price = 5 + rng() % 500;
  for (int i = 0; i < count; ++i) {
    // Mostly the next working day; now and then a jump of months.
    const int step = shape == 3 && rng() % 40 == 0 ? 28 * (1 + static_cast<int>(rng() % 15)) : 1 + (rng() % 3 == 0);
    day += days{step};
    const year_month_day ymd{day};
    std::string date = Calendar::FormatDate(MakePackedDate(static_cast<int>(ymd.year()),
                                                           static_cast<int>(static_cast<unsigned>(ymd.month())),
                                                           static_cast<int>(static_cast<unsigned>(ymd.day()))));
    if (shape == 4 && rng() % 25 == 0) {
      // Also days just outside the digits in a month and year like the
      // date before.
      const std::string damaged[] = {"31.02.2003",          "xx.yy.zzzz",         "1.2.2003",
                                     "15.01.1999",          "31.13.2002",         "",
                                     ":1" + date.substr(2), "0/" + date.substr(2)};
      date = damaged[rng() % 8];
    }
    if (i < flatFrom) price = std::max(0.0, price + (static_cast<int>(rng() % 201) - 100) / 100.0);
    if (shape == 2 && i >= flatFrom) price = 0;
    std::string text = FormatNumber(price, 2);
    if (shape == 5 && rng() % 10 == 0) {
      const char* other[] = {"12", "1.234,5", "", "abc", "7,125"};
      text = other[rng() % 5];
    }
    rows.push_back(date);
    rows.push_back(text);
  }
  return rows;
}

// An archive store of `count` funds "Archiv 0", "Archiv 1", ... with price
// rows of every shape (ArchiveRows, at most `longest` of them), saved and
// opened again.
void WriteArchive(DepotFixture& f, std::mt19937& rng, int count, int longest) {
  RecordStore& archive = f.state.auxiliaryStore;
  for (int k = 0; k < count; ++k) {
    archive.AddRecord(Fund("Archiv " + std::to_string(k)).Row());
    const std::vector<std::string> rows = ArchiveRows(rng, longest);
    if (!rows.empty()) archive.AppendRows(section::kPrices, rows, static_cast<int>(rows.size() / 2));
  }
  ASSERT_TRUE(archive.Save().ok());
  f.Reopen();
}

// The archive's rows are computed when read; its ranking is taken from each
// fund's last months where they tell.  It is line for line the ranking of
// the whole rows, whose figures are those of a fresh start; and the rows
// read from the file in one piece are those read value by value.
TEST_F(StatisticsTest, TheArchiveRankingFromTheLastMonthsIsThatOfTheWholeRows) {
  std::mt19937 rng(2026);
  for (int k = 0; k < 240; ++k) f.AddFund(Fund("Archiv " + std::to_string(k)), ArchiveRows(rng), true);
  // Several prices a day (30 or 40 a month): the search for the last
  // months goes back over many rows.
  for (int perMonth : {40, 30}) {
    std::vector<std::string> dense;
    for (int month = 8; month <= 12; ++month)
      for (int k = 0; k < perMonth; ++k) {
        dense.push_back(Calendar::FormatDate(MakePackedDate(2002, month, 1 + k * 2 / 3)));
        dense.push_back(FormatNumber(10 + month * 3 + k * 0.25, 2));
      }
    f.AddFund(Fund("Dicht " + std::to_string(perMonth)), dense, true);
  }
  f.Reopen();
  stats.RecomputeStatistics(Scope::AllFunds);
  ExpectRankingOfWholeRows(stats, f, "after opening: ");
  // A command gives one fund a steep last month: its figures are read
  // again, the others' are taken over.
  ASSERT_EQ(f.state.auxiliaryStore.Select("Archiv 5"), 1);
  f.state.auxiliaryStore.ReplaceRows(section::kPrices, {"02.12.2002", "10,00", "02.01.2003", "99999,00"});
  stats.RecomputeStatistics(Scope::AllFunds);
  ExpectRankingOfWholeRows(stats, f, "after a command: ");
  EXPECT_EQ(stats.FundRanking(Scope::AllFunds).front().fund, "Archiv 5");

  Statistics whole(f.state, f.calendar);
  whole.RecomputeStatistics(Scope::AllFunds);
  // One fund's figures alone, then all.
  EXPECT_EQ(stats.FundInfoLines(17, Scope::AllFunds), whole.FundInfoLines(17, Scope::AllFunds));
  EXPECT_EQ(stats.DerivedSeriesList(18, Scope::AllFunds, 1), whole.DerivedSeriesList(18, Scope::AllFunds, 1));
  ExpectSameAsFresh(stats, f, Scope::AllFunds);

  // The same values as edited ones are read one by one.
  const std::vector<FundStatistics> fromFile = whole.Table(Scope::AllFunds);
  for (const std::string& fund : f.state.auxiliaryStore.Keys()) {
    ASSERT_EQ(f.state.auxiliaryStore.Select(fund), 1);
    const RecordView v = f.state.auxiliaryStore.Values(section::kPrices, f.state.auxiliaryStore.FindKey(fund));
    std::vector<std::string> values;
    for (size_t i = 0; i < v.size(); ++i) values.emplace_back(v[i]);
    f.state.auxiliaryStore.ReplaceRows(section::kPrices, values);
  }
  ASSERT_TRUE(f.state.auxiliaryStore.Values(section::kPrices, 0).Text().empty()) << "edited values lie apart";
  Statistics oneByOne(f.state, f.calendar);
  oneByOne.RecomputeStatistics(Scope::AllFunds);
  ExpectSameRows(oneByOne.Table(Scope::AllFunds), fromFile);
}

// Thousands of archived funds have their last months read in two threads:
// the same ranking as from the whole rows.
TEST_F(StatisticsTest, TheRankingOfThousandsOfArchivedFundsIsThatOfTheWholeRows) {
  std::mt19937 rng(99);
  ASSERT_NO_FATAL_FAILURE(WriteArchive(f, rng, 1200, 90));
  stats.RecomputeStatistics(Scope::AllFunds);
  ExpectRankingOfWholeRows(stats, f, "");
}

// After a recompute of all funds, the last months of hundreds of archived
// funds are read on another thread while the window is built.  What the
// store holds when the ranking is built counts: a fund edited since, funds
// dropped since (records moved) and a store opened again since are read
// anew, so the ranking is still that of the whole rows.  (Each case opens
// the store first: figures of a ranking built before are taken over by a
// recompute as they are.)
TEST_F(StatisticsTest, TheRankingIsThatOfTheStoreAsItIsWhenBuilt) {
  std::mt19937 rng(4711);
  ASSERT_NO_FATAL_FAILURE(WriteArchive(f, rng, 400, 120));
  RecordStore& archive = f.state.auxiliaryStore;
  stats.RecomputeStatistics(Scope::AllFunds);
  ExpectRankingOfWholeRows(stats, f, "as opened: ");

  f.Reopen();
  stats.RecomputeStatistics(Scope::AllFunds);
  ASSERT_EQ(archive.Select("Archiv 7"), 1);
  archive.ReplaceRows(section::kPrices, {"02.12.2002", "10,00", "02.01.2003", "99999,00"});
  std::vector<bool> drop(archive.Keys().size(), false);
  drop[3] = drop[200] = true;
  archive.DropRecords(drop);
  ExpectRankingOfWholeRows(stats, f, "edited and dropped: ");
  EXPECT_EQ(stats.FundRanking(Scope::AllFunds).front().fund, "Archiv 7");

  f.Reopen();
  stats.RecomputeStatistics(Scope::AllFunds);
  ASSERT_EQ(archive.Select("Archiv 9"), 1);
  archive.ReplaceRows(section::kPrices, {"02.12.2002", "10,00", "02.01.2003", "199999,00"});
  ASSERT_TRUE(archive.Save().ok());
  f.Reopen();
  ExpectRankingOfWholeRows(stats, f, "opened again: ");
  EXPECT_EQ(stats.FundRanking(Scope::AllFunds).front().fund, "Archiv 9");

  // Recomputed again before the ranking, and left while the other thread
  // reads: nothing of it remains.
  f.Reopen();
  stats.RecomputeStatistics(Scope::AllFunds);
  stats.RecomputeStatistics(Scope::AllFunds);
  ExpectRankingOfWholeRows(stats, f, "recomputed twice: ");
  { Statistics(f.state, f.calendar).RecomputeStatistics(Scope::AllFunds); }
}

// Rows not computed yet are never taken over as computed ones: recomputed
// twice without a reader, or after one row was read, the table is that of
// a fresh start.
TEST_F(StatisticsTest, ArchiveRowsNotReadYetAreComputedAfterEveryRecompute) {
  std::mt19937 rng(7);
  for (int k = 0; k < 12; ++k) f.AddFund(Fund("Archiv " + std::to_string(k)), ArchiveRows(rng), true);
  f.Reopen();
  stats.RecomputeStatistics(Scope::AllFunds);
  stats.RecomputeStatistics(Scope::AllFunds);
  ExpectSameAsFresh(stats, f, Scope::AllFunds);
  stats.RecomputeStatistics(Scope::AllFunds);
  (void)stats.FundInfoLines(3, Scope::AllFunds);  // only this row is computed
  stats.RecomputeStatistics(Scope::AllFunds);
  ExpectSameAsFresh(stats, f, Scope::AllFunds);
  EXPECT_FALSE(stats.Table(Scope::AllFunds)[5].monthlyChanges.empty());
}

}  // namespace
}  // namespace tellurio::testing
