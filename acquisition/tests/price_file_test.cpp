// Reading price files: groups of six lines, the date of the first group for
// all, and the groups that are no price records.

#include <gtest/gtest.h>

#include "acquisition/PriceFile.h"
#include "acquisition/PriceMerge.h"
#include "platform/testing/TempDir.h"

namespace tellurio {
namespace {

using Rows = std::vector<std::string>;

TEST(PriceFile, GroupsOfSixLinesDatedWithTheFirstGroup) {
  const PriceFile f = ReadPriceRecords({"A", "1", "1,0500", "Euro", "05.03.2003", "41,20",  //
                                        "B", "2", "1,0000", "DM",   "06.03.2003", " 7.5 ",  //
                                        "C", "3", "1,0000", "Euro", "05.03.2003", "0,00",   // zero
                                        "D", "4", "1,0000", "Euro", "29.02.2003", "3,00",   // no such day
                                        "E", "5", "1,0000", "Euro", "05.03.2003", "-3,00",  // no price
                                        "F", "6", "1,0000", "Euro", "05.03.2003", "12,5x",  // no price
                                        "G", "7", "1,0000", "Euro", "05.03.2003"});         // incomplete
  EXPECT_EQ(f.groups, 6);
  EXPECT_EQ(f.date, "05.03.2003");
  ASSERT_EQ(f.records.size(), 2u);
  EXPECT_EQ(f.records[0].name, "A");
  EXPECT_EQ(f.records[1].name, "B");
  EXPECT_EQ(f.records[1].date, "05.03.2003");
  EXPECT_EQ(f.records[1].price, "7.5");
  EXPECT_EQ(f.records[1].currency, "DM");
}

TEST(PriceFile, NoRecordsWithoutAValidFirstDate) {
  EXPECT_TRUE(ReadPriceRecords({"A", "1", "1,0500", "Euro", "5.3.2003", "41,20"}).records.empty());
  EXPECT_TRUE(ReadPriceRecords({"A", "1", "1,0500", "Euro", "05.03.2003"}).records.empty());
  EXPECT_TRUE(ReadPriceRecords({}).records.empty());
}

TEST(PriceFile, DateAndPriceTexts) {
  for (const char* ok : {"01.01.2003", "29.02.2004", "31.12.1999", "05.03.2003 "}) EXPECT_TRUE(IsDateText(ok)) << ok;
  for (const char* bad : {"29.02.2003", "00.01.2003", "01.13.2003", "1.1.2003", "01-01-2003", "", "aa.bb.cccc"})
    EXPECT_FALSE(IsDateText(bad)) << bad;
  for (const char* ok : {"41,20", "41.20", "7", " 12,5 "}) EXPECT_TRUE(IsPriceText(ok)) << ok;
  for (const char* bad : {"", ",5", "12,", "-1,00", "1.234,56", "k.A.", "12 34"}) EXPECT_FALSE(IsPriceText(bad)) << bad;
}

TEST(PriceRows, SortedByDayNumberWithEqualDatesInTheirOrder) {
  Rows rows = {"05.03.2003", "1", "01.03.2003", "2", "05.03.2003", "3", "28.02.2003", "4"};
  EXPECT_TRUE(SortPriceRows(rows));
  EXPECT_EQ(rows, (Rows{"28.02.2003", "4", "01.03.2003", "2", "05.03.2003", "1", "05.03.2003", "3"}));
  EXPECT_FALSE(SortPriceRows(rows));
}

// A price the store would lose is written so that it reads back: in the
// fund archive (two sections) the one-digit text "7" is stored as a blank and
// would come back as no price at all.  Found by the merge fuzz target.
TEST(PriceMerge, APriceTheStoreWouldLoseIsStoredAsTheSameNumber) {
  testing::TempDir dir;
  RecordStore archive;
  ASSERT_TRUE(archive.Create(dir / "n_Depot", 2, {4, 2}).ok());
  ASSERT_TRUE(archive.Open().ok());
  const PriceFile file = ReadPriceRecords({"Sieben", "700007", "1,0000", "Euro", "05.03.2003", "7",  //
                                           "Lang", "700008", "1,0000", "Euro", "05.03.2003", std::string(250, '1')});
  ASSERT_EQ(file.records.size(), 2u);
  const MergePlan plan = PlanMerge(archive, file);
  std::vector<std::string> skipped;
  EXPECT_TRUE(MergeArchivePrices(archive, plan, {}, skipped));
  EXPECT_EQ(skipped, std::vector<std::string>{"Lang"});
  ASSERT_TRUE(archive.Save().ok());
  ASSERT_TRUE(archive.Open().ok());
  ASSERT_EQ(archive.RecordCount(), 1);
  ASSERT_EQ(archive.Values(1, 0).size(), 2u);
  EXPECT_EQ(archive.Values(1, 0)[1], "7,00");
}

}  // namespace
}  // namespace tellurio
