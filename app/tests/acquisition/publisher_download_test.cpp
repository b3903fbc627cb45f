// The download run, the portrait fetch and the index through the real web
// library against the demo publisher on a free port of 127.0.0.1: what a
// user gets on a fresh machine with the demo.

#include <gtest/gtest.h>

#include <cstdlib>

#include "Funds.h"
#include "Publisher.h"
#include "app/tests/acquisition/AcquisitionFixture.h"
#include "marabu/MarabuLibrary.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

namespace tellurio::testing {
namespace {

namespace fs = std::filesystem;

// Points the library at a server for the life of the object.
class Servers {
 public:
  explicit Servers(const std::string& address) {
    for (const char* v : kVariables) setenv(v, address.c_str(), 1);
  }
  ~Servers() {
    for (const char* v : kVariables) unsetenv(v);
  }

 private:
  static constexpr const char* kVariables[] = {"MARABU_PUBLISHER", "MARABU_INDEX_SERVER", "MARABU_COMPARISON_SERVER"};
};

struct RealDocument {
  TempDir dir;
  RecordingPrompter prompter;
  MemorySettings settings;
  SystemClock clock;  // the library names its files by the system date
  marabu::MarabuLibrary web;
  ScriptedShellDialogs shell;
  ScriptedAcquisitionDialogs dialogs;
  PriceAcquisition acquisition{dialogs, web};
  CTellurioDoc doc{DocumentServices{prompter, settings, clock, web, shell, {&acquisition}}};
  RealDocument() { acquisition.SetSession(&doc); }
};

TEST(PublisherDownload, ADepotOfADemoProviderGetsItsPricesItsArchiveAndThePortraits) {
  demo::PublisherOptions options;
  options.port = 0;
  options.everyDay = true;  // a price file also when the test runs on a Sunday
  demo::PublisherServer server(options);
  std::string error;
  ASSERT_TRUE(server.Start(error)) << error;
  Servers servers("127.0.0.1:" + std::to_string(server.port()));

  RealDocument f;
  const demo::Provider* deka = demo::FindProviderByKey("Deka");
  ASSERT_NE(deka, nullptr);
  const demo::Fund& held = deka->funds.at(3);
  EXPECT_TRUE(WriteListFile(fileset::ProviderList(f.dir.path(), "Sparkasse"), {"Depot"}).ok());
  EXPECT_TRUE(WriteListFile(f.dir.path() / fileset::kProviderAssignments, {"Sparkasse", "Deka"}).ok());
  {
    RecordStore s;
    EXPECT_TRUE(s.Create(fileset::DepotBase(f.dir.path(), "Depot"), 6, fileset::kDepotRowWidths).ok());
    EXPECT_TRUE(s.Open().ok());
    s.AddRecord({held.name, held.wkn, "1,0500", held.currency});
    EXPECT_TRUE(s.Save().ok());
  }
  f.shell.depotChoices = {std::string("Depot")};
  f.shell.factorEntries = {std::string("1,00000"), std::string("1,00000")};
  ASSERT_EQ(f.doc.StartUp(f.dir.path()), CTellurioDoc::StartResult::Ready);
  // The start fetched the portraits (never fetched before) and indexed the
  // held fund.
  ASSERT_TRUE(fs::exists(f.dir / "portrait.txt"));
  ASSERT_EQ(f.acquisition.portraitIndex().size(), 1u);

  f.acquisition.DownloadPrices();
  for (const Message& m : f.prompter.Messages()) ADD_FAILURE() << m.title << ": " << m.text;

  // The held fund has today's price, every other fund of the file is in the
  // archive with one price of that date.
  const RecordStore& depot = f.doc.State().depotStore;
  const std::vector<std::string> prices = PriceRows(depot, held.name);
  ASSERT_EQ(prices.size(), 2u);
  const RecordStore& archive = f.doc.State().auxiliaryStore;
  EXPECT_EQ(archive.RecordCount(), static_cast<int>(deka->funds.size()) - 1);
  EXPECT_GT(archive.RecordCount(), 200);
  const std::string other = FundNames(archive).front();
  EXPECT_EQ(PriceRows(archive, other).at(0), prices[0]);
  // The file stays under Fondpreise/<provider>/<year>/<month>.
  const fs::path month = f.dir / "Fondpreise" / "Sparkasse";
  bool stored = false;
  for (const auto& e : fs::recursive_directory_iterator(month)) stored |= e.path().extension() == ".txt";
  EXPECT_TRUE(stored);

  // The depot had no archive before: portraits again, and the index now
  // holds the archived funds too.
  EXPECT_GT(f.acquisition.portraitIndex().size(), 200u);
  const PortraitEntry first = f.acquisition.portraitIndex().front();
  EXPECT_EQ(first.fund, held.name);
  const PortraitBlock b = ParsePortraitBlock(ReadLinesFrom(f.dir / "portrait.txt", first.line, kPortraitBlockLines));
  EXPECT_EQ(b.master[0], held.name);
  EXPECT_EQ(b.master[2], held.wkn);
  EXPECT_TRUE(b.charts.present);
}

TEST(PublisherDownload, AnUnknownProviderKeyIsReportedAndChangesNothing) {
  demo::PublisherOptions options;
  options.port = 0;
  options.everyDay = true;
  demo::PublisherServer server(options);
  std::string error;
  ASSERT_TRUE(server.Start(error)) << error;
  Servers servers("127.0.0.1:" + std::to_string(server.port()));

  RealDocument f;
  EXPECT_TRUE(WriteListFile(fileset::ProviderList(f.dir.path(), "Bank"), {"Depot"}).ok());
  // A provider of the table that the demo publisher does not serve.
  EXPECT_TRUE(WriteListFile(f.dir.path() / fileset::kProviderAssignments, {"Bank", "Aberdeen Investment"}).ok());
  RecordStore depot;
  EXPECT_TRUE(depot.Create(fileset::DepotBase(f.dir.path(), "Depot"), 6, fileset::kDepotRowWidths).ok());
  f.shell.depotChoices = {std::string("Depot")};
  ASSERT_EQ(f.doc.StartUp(f.dir.path()), CTellurioDoc::StartResult::Ready);
  f.prompter.Clear();
  const std::string before = ReadAll(f.dir / "Depot.dat");
  f.acquisition.DownloadPrices();
  EXPECT_EQ(ReadAll(f.dir / "Depot.dat"), before);
  EXPECT_TRUE(FundNames(f.doc.State().auxiliaryStore).empty());
  // The publisher has no file of that provider (404): no failure, but the
  // one note at the end names it, with the server.
  ASSERT_EQ(f.prompter.Messages().size(), 1u);
  EXPECT_EQ(f.prompter.Last().title, "Hinweis");
  EXPECT_NE(f.prompter.Last().text.find("Bank (Aberdeen Investment) bei "), std::string::npos)
      << f.prompter.Last().text;
  EXPECT_NE(f.prompter.Last().text.find("keine einzige Kursdatei dieses Anbieters"), std::string::npos)
      << f.prompter.Last().text;
  EXPECT_NE(f.prompter.Last().text.find("127.0.0.1:" + std::to_string(server.port())), std::string::npos)
      << f.prompter.Last().text;
}

}  // namespace
}  // namespace tellurio::testing
