// Reconciling fund archives: two funds with one WKN become one, through the
// document's start-up hook and the store function itself.

#include <gtest/gtest.h>

#include "acquisition/ArchiveReconcile.h"
#include "app/tests/acquisition/AcquisitionFixture.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

namespace tellurio::testing {
namespace {

using Rows = std::vector<std::string>;

struct Archive : AcquisitionFixture {
  Archive() { AddProvider("Bank", "Deka", {"Alpha", "Beta"}); }
};

TEST(ReconcileArchives, TheFundWithOlderPricesGoesAndItsHistoryIsJoinedIn) {
  Archive f;
  // Renamed by its provider on 03.03.2003: the old name has the history, the
  // new one the prices since then.
  f.AddFund("Alpha", {"Alt-Name", "123456", "1,0500", "Euro"},
            {"27.02.2003", "10,00", "28.02.2003", "10,10", "03.03.2003", "10,20"}, true);
  f.AddFund("Alpha", {"Anderer", "654321", "1,0000", "Euro"}, {"03.03.2003", "5,00"}, true);
  f.AddFund("Alpha", {"Neu-Name", "123456", "1,0500", "Euro"}, {"03.03.2003", "10,25", "04.03.2003", "10,30"}, true);
  f.Open("Beta");
  f.acquisition.ReconcileArchives();
  EXPECT_EQ(f.Funds("Alpha", true), (Rows{"Anderer", "Neu-Name"}));
  // The old history up to the day before the new name's first price; the
  // day both have keeps the new name's price.
  EXPECT_EQ(f.Prices("Alpha", "Neu-Name", true),
            (Rows{"27.02.2003", "10,00", "28.02.2003", "10,10", "03.03.2003", "10,25", "04.03.2003", "10,30"}));
  EXPECT_EQ(f.Prices("Alpha", "Anderer", true), (Rows{"03.03.2003", "5,00"}));
  EXPECT_EQ(f.state().currentDepot, "Beta");
  EXPECT_TRUE(f.prompter.Messages().empty());
}

TEST(ReconcileArchives, EqualNewestDatesKeepTheFirstListedWithTheOtherOnesOlderPrices) {
  Archive f;
  f.AddFund("Alpha", {"Erster", "123456", "1,0500", "Euro"}, {"04.03.2003", "10,30"}, true);
  f.AddFund("Alpha", {"Zweiter", "123456", "1,0500", "Euro"}, {"01.03.2003", "9,90", "04.03.2003", "10,31"}, true);
  f.Open("Alpha");
  f.acquisition.ReconcileArchives();
  EXPECT_EQ(f.Funds("Alpha", true), (Rows{"Erster"}));
  // Nothing of the second fund is lost: its older price joins the series.
  EXPECT_EQ(f.Prices("Alpha", "Erster", true), (Rows{"01.03.2003", "9,90", "04.03.2003", "10,30"}));
  // The open archive of the current depot is the reconciled one.
  EXPECT_EQ(FundNames(f.state().auxiliaryStore), (Rows{"Erster"}));
}

// At the start the statistics of all funds were computed before the
// reconciliation: they follow the archive it leaves, one row per fund.
TEST(ReconcileArchives, TheStatisticsOfAllFundsFollowTheReconciledArchive) {
  Archive f;
  f.AddFund("Alpha", {"Erster", "123456", "1,0500", "Euro"}, {"03.02.2003", "8,00", "04.03.2003", "10,00"}, true);
  f.AddFund("Alpha", {"Zweiter", "123456", "1,0500", "Euro"}, {"03.02.2003", "9,00", "03.03.2003", "12,00"}, true);
  f.AddFund("Alpha", {"Dritter", "777777", "1,0000", "Euro"}, {"03.02.2003", "5,00", "04.03.2003", "6,00"}, true);
  f.Open("Alpha");
  f.doc.RecomputeStatistics(Scope::AllFunds);
  ASSERT_EQ(f.doc.statistics().Table(Scope::AllFunds).size(), 3u);
  f.acquisition.ReconcileArchives();
  ASSERT_EQ(FundNames(f.state().auxiliaryStore), (Rows{"Erster", "Dritter"}));
  ASSERT_EQ(f.doc.statistics().Table(Scope::AllFunds).size(), 2u);
  // Dritter: February 5, March 6, a change of 1,00; Erster keeps its own
  // prices (the newest), February 8 and March 10: a change of 2,00.
  const std::vector<RankingLine> ranking = f.doc.statistics().FundRanking(Scope::AllFunds);
  ASSERT_EQ(ranking.size(), 2u);
  EXPECT_EQ(ranking[0].fund, "Erster");
  EXPECT_EQ(ranking[0].changeText, "2,00");
  EXPECT_EQ(ranking[1].fund, "Dritter");
  EXPECT_EQ(ranking[1].changeText, "1,00");
}

TEST(ReconcileArchives, ThreeNamesOfOneFundLeaveOneWithEveryDateOnce) {
  TempDir dir;
  RecordStore s;
  EXPECT_TRUE(s.Create(dir / "n_X", 2, {4, 2}).ok());
  s.AddRecord({"A", "1", "1", "Euro"});
  s.ReplaceRows(1, {"01.01.2003", "1", "02.01.2003", "2"});
  s.AddRecord({"B", "1", "1", "Euro"});
  s.ReplaceRows(1, {"02.01.2003", "20", "03.01.2003", "30"});
  s.AddRecord({"Ohne WKN", "", "1", "Euro"});
  s.ReplaceRows(1, {"01.01.2003", "7"});
  s.AddRecord({"Auch ohne", "", "1", "Euro"});
  s.ReplaceRows(1, {"09.01.2003", "8"});
  s.AddRecord({"C", "1", "1", "Euro"});
  s.ReplaceRows(1, {"05.01.2003", "50"});
  const ReconcileOutcome o = ReconcileArchive(s);
  EXPECT_EQ(o.removed, 2);
  // Funds without WKN are not one fund.
  EXPECT_EQ(FundNames(s), (Rows{"Ohne WKN", "Auch ohne", "C"}));
  EXPECT_EQ(PriceRows(s, "C"), (Rows{"01.01.2003", "1", "02.01.2003", "20", "03.01.2003", "30", "05.01.2003", "50"}));
  EXPECT_EQ(PriceRows(s, "Ohne WKN"), (Rows{"01.01.2003", "7"}));
}

TEST(ReconcileArchives, StoresWithoutDuplicatesAreNotRewritten) {
  Archive f;
  f.AddFund("Alpha", {"Eins", "1", "1,0000", "Euro"}, {"01.03.2003", "1,00"}, true);
  f.AddFund("Alpha", {"Zwei", "2", "1,0000", "Euro"}, {"01.03.2003", "2,00"}, true);
  f.Open("Beta");
  const auto before = std::filesystem::last_write_time(f.wd() / "n_Alpha.dat");
  const std::string bytes = ReadAll(f.wd() / "n_Alpha.dat");
  f.acquisition.ReconcileArchives();
  EXPECT_EQ(ReadAll(f.wd() / "n_Alpha.dat"), bytes);
  EXPECT_EQ(std::filesystem::last_write_time(f.wd() / "n_Alpha.dat"), before);
  // A depot of a provider list without files gets none.
  f.AddProvider("Leer", "Deka", {});
  EXPECT_TRUE(WriteListFile(fileset::ProviderList(f.wd(), "Leer"), {"Geist"}).ok());
  f.Open("Beta");
  f.acquisition.ReconcileArchives();
  EXPECT_FALSE(std::filesystem::exists(f.wd() / "n_Geist.dat"));
}

TEST(ReconcileArchives, AStoreWithADuplicateKeyIsLeftAsItIs) {
  TempDir dir;
  RecordStore s;
  EXPECT_TRUE(s.Create(dir / "n_Y", 2, {4, 2}).ok());
  s.AddRecord({"A", "1", "1", "Euro"});
  s.ReplaceRows(1, {"01.01.2003", "1"});
  s.AddRecord({"A", "2", "1", "Euro"});
  s.AddRecord({"B", "1", "1", "Euro"});
  const ReconcileOutcome o = ReconcileArchive(s);
  EXPECT_TRUE(o.skipped);
  EXPECT_EQ(o.removed, 0);
  EXPECT_EQ(s.RecordCount(), 3);
}

}  // namespace
}  // namespace tellurio::testing
