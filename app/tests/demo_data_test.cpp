// The demo data directory must be one the program starts on at once: the
// depot choice, then the depot with its provider and web provider.

#include <gtest/gtest.h>

#include "app/demo/DemoData.h"
#include "app/tests/FakeShell.h"
#include "calendar/DateOrder.h"
#include "calendar/NumberText.h"
#include "portfolio/Funds.h"

namespace tellurio::testing {
namespace {

TEST(DemoData, TheProgramStartsOnItWithoutFirstUseMessages) {
  DocFixture f;
  ASSERT_TRUE(demo::WriteDemoDataDirectory(f.wd(), f.doc.calendar()).ok());
  // Writing it twice changes nothing (run-demo.sh only writes it when missing,
  // but a half-written directory must not gain duplicates).
  ASSERT_TRUE(demo::WriteDemoDataDirectory(f.wd(), f.doc.calendar()).ok());
  EXPECT_EQ(f.List("Deka Bank.pls"), (std::vector<std::string>{"Altersvorsorge", "Sparplan Kinder"}));
  EXPECT_EQ(f.List("anb.dbk"), (std::vector<std::string>{"Deka Bank", "Deka", "DWS Fonds", "DWS"}));

  f.dialogs.depotChoices = {std::string("Weltweit")};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  EXPECT_TRUE(f.prompter.Messages().empty());
  EXPECT_EQ(f.dialogs.lastDepotList, (std::vector<std::string>{"Altersvorsorge", "Sparplan Kinder", "Weltweit"}));
  const DepotState& s = f.doc.State();
  EXPECT_EQ(s.currentDepot, "Weltweit");
  EXPECT_EQ(s.currentProvider, "DWS Fonds");
  EXPECT_EQ(s.webProvider, "DWS");
  EXPECT_TRUE(std::filesystem::is_directory(f.dir / "Fondpreise" / "Deka Bank" / "2003" / "Maerz"));
  const std::vector<demo::DemoFund> funds = demo::DemoFunds("Weltweit");
  ASSERT_EQ(funds.size(), 4u);
  EXPECT_EQ(s.fundCount, 3);
  EXPECT_EQ(s.auxiliaryStore.RecordCount(), 1);
  EXPECT_EQ(FundNames(s.depotStore)[0], funds[0].name);
  // Years of prices, the newest on the previous business day (today is
  // Wednesday 05.03.2003), each a plausible step from the last.
  const std::vector<std::string> prices = PriceRows(s.depotStore, funds[0].name);
  ASSERT_GT(prices.size(), 500u);
  EXPECT_EQ(prices[prices.size() - 2], "05.03.2003");
  for (size_t i = 3; i < prices.size(); i += 2) {
    const double ratio = ParseNumber(prices[i]) / ParseNumber(prices[i - 2]);
    EXPECT_GT(ratio, 0.8);
    EXPECT_LT(ratio, 1.25);
  }
  // The held funds were bought as the buy dialog books: purchase rows and a
  // holding, so the depot has a value.
  EXPECT_EQ(ReadSection(s.depotStore, section::kPurchases, funds[0].name).size() % 4, 0u);
  EXPECT_GE(ReadSection(s.depotStore, section::kPurchases, funds[0].name).size(), 8u);
  EXPECT_EQ(ReadSection(s.depotStore, section::kHolding, funds[0].name).size(), 2u);
  EXPECT_GT(ParseNumber(f.doc.statistics().DepotValue()), 0);
  EXPECT_TRUE(f.prompter.Messages().empty());
  // Every fund is one the demo publisher quotes, under its WKN.
  for (const demo::DemoFund& fund : funds) EXPECT_EQ(fund.wkn.size(), 6u);
  EXPECT_EQ(CompareDates(prices[0], "01.01.2002", 0), -1);
}

}  // namespace
}  // namespace tellurio::testing
