// The price look-ups and number texts that every later part relies on.

#include <gtest/gtest.h>

#include "portfolio/Funds.h"
#include "portfolio/tests/PortfolioFixture.h"

namespace tellurio::testing {
namespace {

TEST(PriceLookUps, ExactPriceSkipsRowsWithoutAPrice) {
  const std::vector<std::string> rows = {"03.03.2003", "10,00", "04.03.2003", "11,00",
                                         "04.03.2003", "0,00",  "05.03.2003", "0"};
  EXPECT_EQ(ExactPrice(rows, "04.03.2003"), std::optional<std::string>("11,00"));
  EXPECT_EQ(ExactPrice(rows, "05.03.2003"), std::nullopt);
  EXPECT_EQ(ExactPrice(rows, "06.03.2003"), std::nullopt);
  EXPECT_EQ(ExactPrice({}, "06.03.2003"), std::nullopt);

  const DatedPrice latest = LatestPrice(rows);
  EXPECT_EQ(latest.date, "04.03.2003");
  EXPECT_EQ(latest.price, "11,00");
  const DatedPrice none = LatestPrice({"05.03.2003", "0,00"});
  EXPECT_EQ(none.date, "00.00.0000");
  EXPECT_EQ(none.price, "0,00");
}

TEST(PriceLookUps, PreviousBusinessDaySkipsHolidaysThenWeekends) {
  FixedClock clock(CivilDate{2003, 3, 5});
  Calendar c(clock);
  auto prev = [&](const char* d) { return PreviousBusinessDayText(c, d); };
  EXPECT_EQ(prev("09.03.2003"), "07.03.2003");  // Sunday -> Friday
  EXPECT_EQ(prev("05.03.2003"), "05.03.2003");  // a working day stays
  EXPECT_EQ(prev("09.06.2003"), "06.06.2003");  // Whit Monday -> Friday before
  EXPECT_EQ(prev("03.10.2003"), "02.10.2003");  // a Friday holiday -> Thursday
  EXPECT_EQ(prev("01.01.2003"), "31.12.2002");  // New Year (Wednesday) -> the day before
  EXPECT_FALSE(IsBusinessDay(c, MakePackedDate(2003, 12, 25)));
  EXPECT_FALSE(IsBusinessDay(c, MakePackedDate(2003, 3, 8)));
  EXPECT_TRUE(IsBusinessDay(c, MakePackedDate(2003, 3, 7)));
}

TEST(PriceLookUps, SurchargeAndIssuePriceTexts) {
  EXPECT_EQ(SurchargeFactorText("5"), "1,0500");
  EXPECT_EQ(SurchargeFactorText("0"), "1,0000");
  EXPECT_EQ(SurchargeFactorText("0,57"), "1,0057");  // not 1,0056
  EXPECT_EQ(SurchargePercentText("1,0000"), "0,00");
  EXPECT_EQ(SurchargePercentText("1,0525"), "5,25");
  EXPECT_EQ(SurchargePercentText("0"), "k.A.");
  EXPECT_EQ(IssuePriceText("50,00", "1,0500"), "52,50");
  EXPECT_EQ(IssuePriceText("50,00", "0"), "0,00");
}

TEST(FundStore, MastersAndSectionsReadByKey) {
  DepotFixture f;
  f.AddFund({"Beta", "222222", "1,0300", "USD"}, {"03.03.2003", "20,00"});
  f.AddFund({"Alpha", "111111", "1,0500", "Euro"}, {"03.03.2003", "10,00", "04.03.2003", "10,50"});
  f.Reopen();
  EXPECT_EQ(FundNames(f.state.depotStore), (std::vector<std::string>{"Beta", "Alpha"}));
  ASSERT_TRUE(ReadMaster(f.state.depotStore, "Beta").has_value());
  EXPECT_EQ(ReadMaster(f.state.depotStore, "Beta")->currency, "USD");
  EXPECT_FALSE(ReadMaster(f.state.depotStore, "Gamma").has_value());
  EXPECT_EQ(PriceRows(f.state.depotStore, "Alpha").size(), 4u);
  EXPECT_TRUE(PriceRows(f.state.depotStore, "Gamma").empty());
}

}  // namespace
}  // namespace tellurio::testing
