// The download run, the merge into the depots of a provider and the text
// import, on real stores in a temporary working directory with the fake web
// library.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "app/tests/acquisition/AcquisitionFixture.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

namespace tellurio::testing {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

const FundMaster kDeka{"Deka-Fonds", "847451", "1,0500", "Euro"};
const FundMaster kRenten{"Rentenfonds", "847452", "1,0300", "Euro"};
const FundMaster kUni{"UniGlobal", "849105", "1,0500", "Euro"};

// Two providers with two depots each: Bank (Deka prices) with Alpha and
// Beta, Kasse (Union prices) with Gamma and Delta.  Alpha and Beta hold the
// Deka fund, Gamma holds UniGlobal.
struct TwoProviders : AcquisitionFixture {
  TwoProviders() {
    AddProvider("Bank", "Deka", {"Alpha", "Beta"});
    AddProvider("Kasse", "Union-Investment Frankfurt", {"Gamma", "Delta"});
    AddFund("Alpha", kDeka, {"04.03.2003", "40,00"});
    AddFund("Beta", kDeka, {"04.03.2003", "40,00"});
    AddFund("Gamma", kUni, {"04.03.2003", "60,00"});
    // Every depot already has an archive, so no portrait refresh follows.
    for (const char* d : {"Alpha", "Beta", "Gamma", "Delta"})
      AddFund(d, {"Alter Fonds", "111111", "1,0000", "Euro"}, {"04.03.2003", "9,00"}, true);
    web.priceFiles["Deka"] = PriceLines({{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,20"},
                                         {"Deka-Rent", "847460", "1,0300", "Euro", "05.03.2003", "50,10"}});
    web.priceFiles["Union-Investment Frankfurt"] =
        PriceLines({{"UniGlobal", "849105", "1,0500", "Euro", "05.03.2003", "61,50"}});
    Open("Beta");
  }
};

TEST(DownloadRun, EachProviderIsDownloadedOnceAndMergedIntoAllItsDepots) {
  TwoProviders f;
  f.state().selectedFund = "Deka-Fonds";
  f.acquisition.DownloadPrices();

  // Every depot holds the prices of Tuesday: Wednesday's files are fetched.
  ASSERT_EQ(f.WebCalls("FileVomTagAusInternetLaden"), 2);
  const std::string wd = f.wd().string();
  EXPECT_EQ(f.WebCallsOf("FileVomTagAusInternetLaden"),
            (Rows{"Deka|Bank|" + wd + "|05.03.2003", "Union-Investment Frankfurt|Kasse|" + wd + "|05.03.2003"}));
  for (const char* d : {"Alpha", "Beta"}) {
    EXPECT_EQ(f.Prices(d, "Deka-Fonds"), (Rows{"04.03.2003", "40,00", "05.03.2003", "41,20"})) << d;
    EXPECT_EQ(f.Prices(d, "Deka-Rent", true), (Rows{"05.03.2003", "50,10"})) << d;
    EXPECT_TRUE(f.Funds(d, true) == (Rows{"Alter Fonds", "Deka-Rent"})) << d;
  }
  EXPECT_EQ(f.Prices("Gamma", "UniGlobal"), (Rows{"04.03.2003", "60,00", "05.03.2003", "61,50"}));
  // Delta holds nothing: the fund of the file goes to its archive.
  EXPECT_EQ(f.Prices("Delta", "UniGlobal", true), (Rows{"05.03.2003", "61,50"}));
  // The depot that was current is current again, with its provider.
  EXPECT_EQ(f.state().currentDepot, "Beta");
  EXPECT_EQ(f.state().currentProvider, "Bank");
  EXPECT_EQ(f.state().webProvider, "Deka");
  EXPECT_EQ(f.state().selectedFund, "Deka-Fonds");
  EXPECT_EQ(PriceRows(f.state().depotStore, "Deka-Fonds").size(), 4u);
  // The status window named the depots with the number still to do, and
  // went away; the archive dialog ran once per depot with records for it.
  const std::vector<std::string> expected = {
      "status Kursdownload", "depot lines", "remaining 2",   "current Alpha",  "day 05.03.2003",  "archive Alpha 1",
      "archive Beta 1",      "remaining 1", "current Gamma", "day 05.03.2003", "archive Delta 1", "status closed"};
  EXPECT_EQ(f.dialogs.log, expected);
  EXPECT_TRUE(f.prompter.Messages().empty());
  EXPECT_GE(f.views.updates, 1);
}

// A second run on the same day finds every price day held: it fetches
// nothing and says so, instead of ending without a word.
TEST(DownloadRun, ARunWithNothingToFetchSaysThePricesAreUpToDate) {
  TwoProviders f;
  f.acquisition.DownloadPrices();
  ASSERT_TRUE(f.prompter.Messages().empty());
  f.acquisition.DownloadPrices();
  EXPECT_EQ(f.WebCalls("FileVomTagAusInternetLaden"), 2) << "nothing fetched the second time";
  ASSERT_EQ(f.prompter.Messages().size(), 1u);
  EXPECT_EQ(f.prompter.Last().title, "Hinweis");
  EXPECT_EQ(f.prompter.Last().text, "Die Kurse sind auf dem neuesten Stand: es gab keine neue Kursdatei zu laden.");
}

TEST(DownloadRun, DeadServerGivesAClearMessageAndChangesNothing) {
  TwoProviders f;
  f.web.failure = marabu::testing::FakeWebLibrary::ConnectFailure("127.0.0.1:9");
  auto snapshot = [&f] {
    std::vector<std::string> bytes;
    for (const char* d : {"Alpha", "Beta", "Gamma", "Delta"}) {
      bytes.push_back(ReadAll(f.wd() / (std::string(d) + ".dat")));
      bytes.push_back(ReadAll(f.wd() / ("n_" + std::string(d) + ".dat")));
    }
    return bytes;
  };
  const std::vector<std::string> before = snapshot();
  f.acquisition.DownloadPrices();

  EXPECT_EQ(snapshot(), before);
  // The run ended at the first provider.
  EXPECT_EQ(f.WebCalls("FileVomTagAusInternetLaden"), 1);
  ASSERT_EQ(f.prompter.Messages().size(), 1u);
  const Message m = f.prompter.Last();
  EXPECT_EQ(m.title, "Fehler");
  EXPECT_EQ(m.icon, MessageIcon::Stop);
  EXPECT_NE(m.text.find("Fondanbieters Bank (Deka)"), std::string::npos) << m.text;
  EXPECT_NE(m.text.find("vom Server 127.0.0.1:9"), std::string::npos) << m.text;
  EXPECT_NE(m.text.find("keine Verbindung"), std::string::npos) << m.text;
  // The status window was gone before the message; the depot that was
  // current is current again.
  EXPECT_EQ(f.dialogs.log.back(), "status closed");
  EXPECT_EQ(f.state().currentDepot, "Beta");
  EXPECT_EQ(f.state().currentProvider, "Bank");
  EXPECT_EQ(f.WebCalls("FondportraitHolen"), 0);
}

TEST(DownloadRun, FailureAtALaterProviderKeepsTheDepotsMergedBefore) {
  TwoProviders f;
  f.failing.failFor["Union-Investment Frankfurt"] = marabu::testing::FakeWebLibrary::ConnectFailure("kurse.example:80");
  const std::string gamma = ReadAll(f.wd() / "Gamma.dat");
  f.acquisition.DownloadPrices();
  EXPECT_EQ(f.Prices("Alpha", "Deka-Fonds").size(), 4u);
  EXPECT_EQ(f.Prices("Beta", "Deka-Fonds").size(), 4u);
  EXPECT_EQ(ReadAll(f.wd() / "Gamma.dat"), gamma);
  EXPECT_TRUE(f.Funds("Delta", true) == (Rows{"Alter Fonds"}));
  ASSERT_EQ(f.prompter.Messages().size(), 1u);
  EXPECT_NE(f.prompter.Last().text.find("Fondanbieters Kasse (Union-Investment Frankfurt)"), std::string::npos);
  EXPECT_EQ(f.state().currentDepot, "Beta");
  EXPECT_EQ(PriceRows(f.state().depotStore, "Deka-Fonds").size(), 4u);
}

TEST(DownloadRun, ProviderWithoutWebProviderIsSkippedAndNamed) {
  AcquisitionFixture f;
  f.AddProvider("Bank", "Deka", {"Alpha"});
  f.AddProvider("Ohne", "", {"Solo"});
  f.AddFund("Alpha", kDeka, {});
  f.AddFund("Alpha", {"Alt", "1", "1,0000", "Euro"}, {}, true);
  f.web.priceFiles["Deka"] = PriceLines({{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,20"}});
  f.Open("Alpha");
  f.acquisition.DownloadPrices();
  // No price anywhere yet: the last price day only.
  EXPECT_EQ(f.WebCallsOf("FileVomTagAusInternetLaden"), Rows{"Deka|Bank|" + f.wd().string() + "|05.03.2003"});
  EXPECT_EQ(f.Prices("Alpha", "Deka-Fonds"), (Rows{"05.03.2003", "41,20"}));
  ASSERT_EQ(f.prompter.Messages().size(), 1u);
  EXPECT_EQ(f.prompter.Last().title, "Hinweis");
  EXPECT_NE(f.prompter.Last().text.find("Dem Fondanbieter Ohne ist kein Anbieter"), std::string::npos);
  // Nothing was merged into Solo, so its empty archive asks for no portraits.
  EXPECT_EQ(f.WebCalls("FondportraitHolen"), 0);
}

TEST(DownloadRun, DepotWithoutArchiveBringsThePortraitFileAndIndex) {
  AcquisitionFixture f;
  f.AddProvider("Bank", "Deka", {"Alpha"});
  f.AddFund("Alpha", kDeka, {"03.03.2003", "40,00"});
  f.web.priceFiles["Deka"] = PriceLines({{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,20"},
                                         {"Deka-Rent", "847460", "1,0300", "Euro", "05.03.2003", "50,10"}});
  f.web.portraitFile =
      "Deka-Fonds\r\nDeka\r\n847451\r\nAktien\r\n"
      "Deka-Rent\r\nDeka\r\n847460\r\nRenten\r\n";
  f.Open("Alpha");
  f.acquisition.DownloadPrices();
  EXPECT_EQ(f.WebCalls("FondportraitHolen"), 1);
  EXPECT_EQ(f.acquisition.portraitIndex(), (PortraitIndex{{"Deka-Fonds", 0}, {"Deka-Rent", 4}}));

  // The archive is filled now: the next run fetches no portraits.
  f.acquisition.DownloadPrices();
  EXPECT_EQ(f.WebCalls("FondportraitHolen"), 1);
}

// ---- the merge --------------------------------------------------------------

struct OneDepot : AcquisitionFixture {
  OneDepot() {
    AddProvider("Bank", "Deka", {"Alpha"});
    AddFund("Alpha", kDeka, {"03.03.2003", "40,00", "04.03.2003", "40,50"});
    Open("Alpha");
  }
  void Merge(const std::vector<Group>& groups, bool all = true, const std::string& fund = "") {
    EXPECT_TRUE(acquisition.MergePriceRecords(PriceLines(groups), all, fund));
  }
};

TEST(MergePriceRecords, EveryPriceOfAFileTakesTheDateOfItsFirstGroup) {
  OneDepot f;
  f.Merge({{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,20"},
           {"Neu", "999999", "1,0000", "Euro", "06.03.2003", "12,00"}});
  EXPECT_EQ(f.Prices("Alpha", "Deka-Fonds"),
            (Rows{"03.03.2003", "40,00", "04.03.2003", "40,50", "05.03.2003", "41,20"}));
  EXPECT_EQ(f.Prices("Alpha", "Neu", true), (Rows{"05.03.2003", "12,00"}));
  EXPECT_EQ(f.Master("Alpha", "Neu", true)->Row(), (Rows{"Neu", "999999", "1,0000", "Euro"}));
}

TEST(MergePriceRecords, AWknTwiceInTheFileLetsTheLaterPriceWin) {
  OneDepot f;
  f.Merge({{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,20"},
           {"Deka-Fonds A", "847451", "1,0500", "Euro", "05.03.2003", "41,90"}});
  EXPECT_EQ(f.Prices("Alpha", "Deka-Fonds"),
            (Rows{"03.03.2003", "40,00", "04.03.2003", "40,50", "05.03.2003", "41,90"}));
  // Both records matched the held fund: nothing went to the archive.
  EXPECT_TRUE(f.Funds("Alpha", true).empty());
  EXPECT_EQ(f.dialogs.Count("archive"), 0);
}

TEST(MergePriceRecords, APriceForAKnownDateReplacesItAndEarlierDatesAreSortedIn) {
  OneDepot f;
  f.Merge({{"Deka-Fonds", "847451", "1,0500", "Euro", "04.03.2003", "39,99"}});
  f.Merge({{"Deka-Fonds", "847451", "1,0500", "Euro", "28.02.2003", "38,00"}});
  EXPECT_EQ(f.Prices("Alpha", "Deka-Fonds"),
            (Rows{"28.02.2003", "38,00", "03.03.2003", "40,00", "04.03.2003", "39,99"}));
}

TEST(MergePriceRecords, BrokenGroupsAreSkippedAndZeroPricesIgnored) {
  OneDepot f;
  f.Merge({{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "0,00"},
           {"Kaputt", "123", "1,0000", "Euro", "31.02.2003", "10,00"},
           {"Kein Kurs", "124", "1,0000", "Euro", "05.03.2003", "k.A."},
           {"Gut", "125", "1,0000", "Euro", "05.03.2003", "10,00"}});
  EXPECT_EQ(f.Prices("Alpha", "Deka-Fonds").size(), 4u);
  EXPECT_EQ(f.Funds("Alpha", true), (Rows{"Gut"}));
}

TEST(MergePriceRecords, AFileWithoutAValidFirstDateStoresNothing) {
  OneDepot f;
  const auto before = ReadAll(f.wd() / "Alpha.dat");
  // An error page: its sixth line happens to read as a number.
  EXPECT_TRUE(f.acquisition.MergePriceRecords(
      {"<html>", "<head>", "<title>404</title>", "</head>", "<body>Not found", "404", "</body>"}, true, ""));
  EXPECT_EQ(ReadAll(f.wd() / "Alpha.dat"), before);
  EXPECT_TRUE(f.Funds("Alpha", true).empty());
}

TEST(MergePriceRecords, ArchivedFundsKeepAtMost781Prices) {
  OneDepot f;
  f.AddFund("Alpha", {"Voll", "500001", "1,0000", "Euro"}, DailyRows(781), true);
  f.AddFund("Fast voll", {"Fast voll", "500002", "1,0000", "Euro"}, {}, true);
  f.AddFund("Alpha", {"Fast voll", "500002", "1,0000", "Euro"}, DailyRows(780), true);
  f.AddFund("Alpha", {"Voll B", "500003", "1,0000", "Euro"}, DailyRows(781), true);
  f.Open("Alpha");
  const Rows full = DailyRows(781);
  const std::string newDate = "05.03.2003";  // after the last of the rows (20.02.2003)
  ASSERT_EQ(full[2 * 780], "20.02.2003");
  f.Merge({{"Voll", "500001", "1,0000", "Euro", newDate, "77,00"},
           {"Fast voll", "500002", "1,0000", "Euro", newDate, "77,00"},
           // A new price for a date the fund has: no row has to go.
           {"Voll B", "500003", "1,0000", "Euro", "05.03.2003", "1,00"}});
  const Rows voll = f.Prices("Alpha", "Voll", true);
  ASSERT_EQ(voll.size(), 2u * 781);
  EXPECT_EQ(voll.front(), full[2]);  // the oldest went
  EXPECT_EQ(voll[voll.size() - 2], newDate);
  EXPECT_EQ(f.Prices("Alpha", "Fast voll", true).size(), 2u * 781);
  EXPECT_EQ(f.dialogs.log.back(), "archive Alpha 3");
  EXPECT_EQ(f.dialogs.archiveSteps.size(), 3u);
  EXPECT_EQ(f.dialogs.archiveSteps[1], (std::pair<int, std::string>{1, "Fast voll"}));

  // An update of a date the full fund has keeps its oldest price.
  f.Merge({{"Voll", "500001", "1,0000", "Euro", newDate, "78,00"}});
  const Rows again = f.Prices("Alpha", "Voll", true);
  ASSERT_EQ(again.size(), 2u * 781);
  EXPECT_EQ(again.front(), full[2]);
  EXPECT_EQ(again.back(), "78,00");
}

TEST(MergePriceRecords, ArchiveIsMergedEvenWhenItsDialogDidNotRunTheWork) {
  OneDepot f;
  f.dialogs.runArchiveWork = false;
  f.Merge({{"Neu", "999999", "1,0000", "Euro", "05.03.2003", "12,00"}});
  EXPECT_EQ(f.Prices("Alpha", "Neu", true), (Rows{"05.03.2003", "12,00"}));
}

TEST(MergePriceRecords, OneFundOnlyTouchesThatFundInEveryDepotOfTheProvider) {
  AcquisitionFixture f;
  f.AddProvider("Bank", "Deka", {"Alpha", "Beta", "Gamma"});
  std::vector<Group> file;
  for (int i = 0; i < 5; ++i) {
    const FundMaster m{"Fonds " + std::to_string(i), "70000" + std::to_string(i), "1,0000", "Euro"};
    for (const char* d : {"Alpha", "Beta"}) f.AddFund(d, m, {"03.03.2003", "10,00"});
    file.push_back({m.name, m.wkn, "1,0000", "Euro", "05.03.2003", "11,00"});
  }
  file.push_back({"Fremd", "888888", "1,0000", "Euro", "05.03.2003", "5,00"});
  f.Open("Alpha");
  EXPECT_TRUE(f.acquisition.MergePriceRecords(PriceLines(file), false, "Fonds 3"));
  for (const char* d : {"Alpha", "Beta"}) {
    EXPECT_EQ(f.Prices(d, "Fonds 3"), (Rows{"03.03.2003", "10,00", "05.03.2003", "11,00"})) << d;
    for (const char* other : {"Fonds 0", "Fonds 1", "Fonds 2", "Fonds 4"})
      EXPECT_EQ(f.Prices(d, other).size(), 2u) << d << " " << other;
    EXPECT_TRUE(f.Funds(d, true).empty()) << d;
  }
  EXPECT_TRUE(f.Funds("Gamma").empty());
  EXPECT_TRUE(f.Funds("Gamma", true).empty());
  EXPECT_EQ(f.dialogs.Count("archive"), 0);
}

TEST(MergePriceRecords, ADepotWhoseStoreCannotBeReadIsNotMergedInto) {
  OneDepot f;
  f.AddProvider("Bank", "Deka", {"Alpha", "Beta"});
  f.Open("Alpha");
  // Beta's data file cannot be read (it is a directory): its store opens
  // empty, and a merge would put the held fund's price into its archive.
  fs::remove(f.wd() / "Beta.dat");
  fs::create_directory(f.wd() / "Beta.dat");
  const std::string archive = ReadAll(f.wd() / "n_Beta.dat");
  EXPECT_FALSE(f.acquisition.MergePriceRecords(
      PriceLines({{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,20"}}), true, ""));
  EXPECT_EQ(ReadAll(f.wd() / "n_Beta.dat"), archive);
  EXPECT_EQ(f.prompter.Last().title, "Fehler");
  EXPECT_NE(f.prompter.Last().text.find("Beta.dat"), std::string::npos) << f.prompter.Last().text;
  // The depot before it was merged and saved.
  EXPECT_EQ(f.Prices("Alpha", "Deka-Fonds").size(), 6u);
}

TEST(MergePriceRecords, ADepotWhoseArchiveCannotBeWrittenKeepsItsOldPrices) {
  OneDepot f;
  // The archive grows beyond what the process may write, the depot store
  // does not.
  f.AddFund("Alpha", {"Gross", "500009", "1,0000", "Euro"}, DailyRows(700), true);
  f.Open("Alpha");
  const std::string depot = ReadAll(f.wd() / "Alpha.dat");
  const std::string archive = ReadAll(f.wd() / "n_Alpha.dat");
  ASSERT_LT(depot.size() + 4096, archive.size());
  rlimit before{};
  getrlimit(RLIMIT_FSIZE, &before);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = before;
  small.rlim_cur = depot.size() + 1024;
  setrlimit(RLIMIT_FSIZE, &small);
  const bool merged =
      f.acquisition.MergePriceRecords(PriceLines({{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,20"},
                                                  {"Gross", "500009", "1,0000", "Euro", "05.03.2003", "9,99"}}),
                                      true, "");
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_FALSE(merged);
  EXPECT_EQ(ReadAll(f.wd() / "Alpha.dat"), depot);
  EXPECT_EQ(ReadAll(f.wd() / "n_Alpha.dat"), archive);
  ASSERT_FALSE(f.prompter.Messages().empty());
  EXPECT_EQ(f.prompter.Last().title, "Fehler");
  EXPECT_NE(f.prompter.Last().text.find("n_Alpha.dat"), std::string::npos) << f.prompter.Last().text;
}

// ---- hostile and unreadable files ---------------------------------------------

TEST(DownloadRun, AProviderListThatCannotBeReadIsNamedAndTheOthersAreLoaded) {
  TwoProviders f;
  // Bank's list has grown beyond what may be read; Kasse is loaded as ever.
  const std::string list = ReadAll(f.wd() / "Bank.pls");
  fs::resize_file(f.wd() / "Bank.pls", kMaxDataFileBytes + 1);
  f.acquisition.DownloadPrices();
  EXPECT_EQ(f.WebCallsOf("FileVomTagAusInternetLaden"),
            Rows{"Union-Investment Frankfurt|Kasse|" + f.wd().string() + "|05.03.2003"});
  EXPECT_EQ(f.Prices("Gamma", "UniGlobal").size(), 4u);
  bool named = false;
  for (const Message& m : f.prompter.Messages())
    named = named || (m.title == "Fehler" && m.text.find("Bank.pls") != std::string::npos);
  EXPECT_TRUE(named);
  EXPECT_EQ(fs::file_size(f.wd() / "Bank.pls"), kMaxDataFileBytes + 1);
  fs::resize_file(f.wd() / "Bank.pls", list.size());
  EXPECT_EQ(ReadAll(f.wd() / "Bank.pls"), list);
}

TEST(DownloadRun, DepotNamesFromAListAreCheckedAsTypedOnes) {
  AcquisitionFixture f;
  // The working directory is a folder inside the temporary one, so that a
  // name climbing out of it stays inside the test's own directory.
  const fs::path outside = f.wd();
  const fs::path wd = f.wd() / "daten";
  fs::create_directory(wd);
  f.state().workingDirectory = wd;
  ASSERT_TRUE(WriteListFile(wd / "Bank.pls", {"Gut", "../Draussen", (outside / "Absolut").string(), "n_Archiv"}).ok());
  ASSERT_TRUE(WriteListFile(wd / "anb.dbk", {"Bank", "Deka"}).ok());
  f.web.priceFiles["Deka"] = PriceLines({{"Deka-Rent", "847460", "1,0300", "Euro", "05.03.2003", "50,10"}});
  f.state().providerNames = {"Bank"};
  f.acquisition.DownloadPrices();

  // Only the good name became a depot; nothing was created outside.
  EXPECT_TRUE(fs::exists(wd / "n_Gut.dat"));
  for (const char* name : {"Draussen.dat", "n_Draussen.dat", "Absolut.dat", "n_Absolut.dat"})
    EXPECT_FALSE(fs::exists(outside / name)) << name;
  EXPECT_FALSE(fs::exists(wd / "n_n_Archiv.dat"));
  std::vector<Message> named;
  for (const Message& m : f.prompter.Messages())
    if (m.text.find("../Draussen") != std::string::npos) named.push_back(m);
  ASSERT_EQ(named.size(), 1u) << "named once, however often the list is read";
  EXPECT_NE(named[0].text.find("n_Archiv"), std::string::npos) << named[0].text;
  EXPECT_NE(named[0].text.find("Absolut"), std::string::npos) << named[0].text;
  // The list itself is left as it is.
  std::vector<std::string> list;
  ASSERT_TRUE(ReadListFile(wd / "Bank.pls", list).ok());
  EXPECT_EQ(list.size(), 4u);
}

TEST(DownloadRun, FundNamesTheStoresCannotHoldAreLeftOutAndNamedOnce) {
  AcquisitionFixture f;
  f.AddProvider("Bank", "Deka", {"Alpha", "Beta"});
  f.AddFund("Alpha", kDeka, {"04.03.2003", "40,00"});
  const std::string longName(300, 'L');
  f.web.priceFiles["Deka"] = PriceLines({{"%Prozent", "100001", "1,0500", "Euro", "05.03.2003", "10,00"},
                                         {"(Klammer", "100002", "1,0500", "Euro", "05.03.2003", "11,00"},
                                         {"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,20"},
                                         {"Ti~lde", "100003", "1,0500", "Euro", "05.03.2003", "12,00"},
                                         {"{Geschweift}", "100004", "1,0500", "Euro", "05.03.2003", "13,00"},
                                         {"Senk|recht", "100005", "1,0500", "Euro", "05.03.2003", "14,00"},
                                         {longName, "100006", "1,0500", "Euro", "05.03.2003", "15,00"},
                                         {"Deka-Rent", "847460", "1,0300", "Euro", "05.03.2003", "50,10"}});
  f.Open("Alpha");
  f.acquisition.DownloadPrices();
  // The next day's run works as well (its file holds the same prices).
  f.clock.Set(CivilDate{2003, 3, 6});
  f.web.today = "06.03.2003";
  f.acquisition.DownloadPrices();

  // Beta holds nothing: the good funds of the file go to its archive.
  EXPECT_EQ(f.Funds("Alpha", true), Rows{"Deka-Rent"});
  EXPECT_EQ(f.Funds("Beta", true), (Rows{"Deka-Fonds", "Deka-Rent"}));
  for (const char* d : {"Alpha", "Beta"}) EXPECT_EQ(f.Prices(d, "Deka-Rent", true), (Rows{"05.03.2003", "50,10"})) << d;
  EXPECT_EQ(f.Prices("Alpha", "Deka-Fonds"), (Rows{"04.03.2003", "40,00", "05.03.2003", "41,20"}));
  std::vector<Message> notes;
  for (const Message& m : f.prompter.Messages())
    if (m.title == "Hinweis") notes.push_back(m);
  ASSERT_EQ(notes.size(), 2u) << "one end message per run";
  for (const char* name : {"\"%Prozent\"", "\"(Klammer\"", "\"Ti~lde\"", "\"{Geschweift}\"", "\"Senk|recht\""}) {
    const std::string& text = notes[0].text;
    const size_t at = text.find(name);
    EXPECT_NE(at, std::string::npos) << name << "\n" << text;
    EXPECT_EQ(text.find(name, at + 1), std::string::npos) << "named once: " << name;
  }
  EXPECT_NE(notes[0].text.find("LLLL"), std::string::npos);
}

TEST(MergePriceRecords, AFailedRenameOfTheArchiveIndexLeavesTheWholeDepotOld) {
  OneDepot f;
  const std::vector<std::string> names = {"Alpha.dat", "Alpha.idx", "n_Alpha.dat", "n_Alpha.idx"};
  std::vector<std::string> before;
  for (const std::string& n : names) before.push_back(ReadAll(f.wd() / n));
  // The last file of the depot's merge cannot be put in place.
  struct Fault {
    static int Rename(const char* from, const char* to) {
      if (fs::path(to).filename() == "n_Alpha.idx") {
        errno = EIO;
        return -1;
      }
      return ::rename(from, to);
    }
    Fault() { detail::renameFile = &Rename; }
    ~Fault() { detail::renameFile = &::rename; }
  } fault;
  EXPECT_FALSE(
      f.acquisition.MergePriceRecords(PriceLines({{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,20"},
                                                  {"Deka-Rent", "847460", "1,0300", "Euro", "05.03.2003", "50,10"}}),
                                      true, ""));
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(ReadAll(f.wd() / names[i]), before[i]) << names[i];
  EXPECT_EQ(f.prompter.Last().title, "Fehler");
  EXPECT_NE(f.prompter.Last().text.find("n_Alpha.idx"), std::string::npos) << f.prompter.Last().text;
  // The open stores show what is on disk, not the merge that failed.
  EXPECT_EQ(PriceRows(f.state().depotStore, "Deka-Fonds").size(), 4u);
  EXPECT_TRUE(FundNames(f.state().auxiliaryStore).empty());
}

// ---- text import --------------------------------------------------------------

struct ImportFixture : OneDepot {
  fs::path File(const std::string& name, const std::vector<Group>& groups) {
    const fs::path p = wd() / fileset::kPriceRoot / name;
    fs::create_directories(p.parent_path());
    std::string bytes;
    for (const std::string& l : PriceLines(groups)) bytes += l + "\r\n";
    WriteAll(p, bytes);
    return p;
  }
  void Choose(std::vector<fs::path> files, bool all = true, int fund = -1) {
    dialogs.imports.push_back([files, all, fund](ImportPanelRules& rules) -> std::optional<ImportChoice> {
      rules.Opened();
      if (!all) {
        rules.BoxClicked(false);
        rules.FundChosen(fund);
      }
      rules.Ok(all);
      return ImportChoice{files, rules.AllFunds(), rules.ChosenFund()};
    });
  }
};

TEST(ImportPriceFiles, FilesAreMergedInTheirOrderAndTheLaterOneWins) {
  ImportFixture f;
  const fs::path a = f.File("a.txt", {{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,00"}});
  const fs::path b = f.File("b.txt", {{"Deka-Fonds", "847451", "1,0500", "Euro", "06.03.2003", "42,00"}});
  const fs::path c = f.File("c.txt", {{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,50"},
                                      {"Neu", "999999", "1,0000", "Euro", "05.03.2003", "3,00"}});
  f.Choose({a, b, c});
  f.acquisition.ImportPriceFiles();
  EXPECT_EQ(f.dialogs.log.front(), "import " + (f.wd() / "Fondpreise").string());
  EXPECT_EQ(f.Prices("Alpha", "Deka-Fonds"),
            (Rows{"03.03.2003", "40,00", "04.03.2003", "40,50", "05.03.2003", "41,50", "06.03.2003", "42,00"}));
  EXPECT_EQ(f.Prices("Alpha", "Neu", true), (Rows{"05.03.2003", "3,00"}));
  EXPECT_EQ(f.state().currentDepot, "Alpha");
  EXPECT_EQ(PriceRows(f.state().depotStore, "Deka-Fonds").size(), 8u);
  EXPECT_TRUE(f.prompter.Messages().empty());
}

TEST(ImportPriceFiles, OneChosenFundLeavesTheArchiveAlone) {
  ImportFixture f;
  f.AddFund("Alpha", kRenten, {"03.03.2003", "20,00"});
  f.Open("Alpha");
  const fs::path a = f.File("a.txt", {{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,00"},
                                      {"Rentenfonds", "847452", "1,0300", "Euro", "05.03.2003", "21,00"},
                                      {"Neu", "999999", "1,0000", "Euro", "05.03.2003", "3,00"}});
  f.Choose({a}, false, 1);
  f.acquisition.ImportPriceFiles();
  EXPECT_EQ(f.Prices("Alpha", "Rentenfonds"), (Rows{"03.03.2003", "20,00", "05.03.2003", "21,00"}));
  EXPECT_EQ(f.Prices("Alpha", "Deka-Fonds").size(), 4u);
  EXPECT_TRUE(f.Funds("Alpha", true).empty());
}

TEST(ImportPriceFiles, AnUnreadableFileIsNamedAndTheOthersAreImported) {
  ImportFixture f;
  const fs::path missing = f.wd() / "Fondpreise" / "fehlt.txt";
  const fs::path junk = f.File("junk.txt", {});
  WriteAll(junk, "Das ist keine Kursdatei\r\n");
  const fs::path good = f.File("gut.txt", {{"Deka-Fonds", "847451", "1,0500", "Euro", "05.03.2003", "41,00"}});
  f.Choose({missing, junk, good});
  f.acquisition.ImportPriceFiles();
  const std::vector<Message> m = f.prompter.Messages();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].title, "Fehler");
  EXPECT_NE(m[0].text.find(missing.string()), std::string::npos) << m[0].text;
  EXPECT_NE(m[0].text.find("konnte nicht gelesen werden"), std::string::npos) << m[0].text;
  EXPECT_EQ(m[1].title, "Hinweis");
  EXPECT_NE(m[1].text.find(junk.string()), std::string::npos) << m[1].text;
  EXPECT_EQ(f.Prices("Alpha", "Deka-Fonds").size(), 6u);
}

TEST(ImportPriceFiles, CancellingChangesNothingAndKeepsTheCurrentDirectory) {
  ImportFixture f;
  const fs::path before = fs::current_path();
  const auto bytes = ReadAll(f.wd() / "Alpha.dat");
  // The dialog wanders off into another directory and is cancelled.
  f.dialogs.imports.push_back([&f](ImportPanelRules&) -> std::optional<ImportChoice> {
    fs::current_path(f.wd());
    return std::nullopt;
  });
  f.acquisition.ImportPriceFiles();
  EXPECT_EQ(fs::current_path(), before);
  EXPECT_EQ(ReadAll(f.wd() / "Alpha.dat"), bytes);
  EXPECT_EQ(f.views.updates, 0);
}

// ---- the panel of the import dialog -------------------------------------------

TEST(ImportPanel, DepotWithoutFundsOffersOnlyAllFunds) {
  RecordingPrompter p;
  ImportPanelRules rules(p, {});
  const ImportPanelView opened = rules.Opened();
  EXPECT_TRUE(opened.checked);
  EXPECT_FALSE(opened.selectorVisible);
  const ImportPanelView v = rules.BoxClicked(false);
  EXPECT_TRUE(v.checked);
  EXPECT_FALSE(v.selectorEnabled);
  EXPECT_TRUE(rules.AllFunds());
  ASSERT_EQ(p.Messages().size(), 1u);
  EXPECT_EQ(p.Last(), (Message{"Hinweis",
                               "Es sind im aktuellen Depot keine Fonds vorhanden.\n"
                               "Sie können also nur das gesamte Depot aktuallisieren",
                               MessageButtons::Ok, MessageIcon::Exclamation, BeepKind::Exclamation}));
}

TEST(ImportPanel, UncheckingEnablesTheSelectorAtTheFirstFund) {
  RecordingPrompter p;
  ImportPanelRules rules(p, {"A", "B", "C"});
  const ImportPanelView opened = rules.Opened();
  EXPECT_TRUE(opened.checked && opened.selectorVisible && !opened.selectorEnabled);
  EXPECT_EQ(opened.selected, 0);
  rules.FundChosen(2);
  const ImportPanelView off = rules.BoxClicked(false);
  EXPECT_FALSE(off.checked);
  EXPECT_TRUE(off.selectorEnabled);
  EXPECT_EQ(rules.ChosenFund(), "A");
  rules.FundChosen(1);
  EXPECT_EQ(rules.ChosenFund(), "B");
  EXPECT_FALSE(rules.BoxClicked(true).selectorEnabled);
  rules.Ok(false);
  EXPECT_FALSE(rules.AllFunds());
  EXPECT_TRUE(p.Messages().empty());
}

}  // namespace
}  // namespace tellurio::testing
