// The depot session on a working directory with damaged, unreadable and
// hostile files: every such file is named, and nothing that was on disk is
// saved over unseen.

#include <gtest/gtest.h>

#include <set>

#include "app/tests/FakeShell.h"
#include "portfolio/tests/PortfolioFixture.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"

namespace tellurio::testing {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

// A working directory with provider "Bank" holding depot "Depot" (six funds
// with prices) and its fund archive (five funds); the portrait file of the
// month is there, so the start fetches nothing but the DAX value.
struct Session : DocFixture {
  ScriptedFactors factors;
  ScriptedFundDialogs fundDialogs;
  FundCommands funds{doc.State(), doc.calendar(), prompter, doc, doc, fundDialogs};

  Session() {
    WriteList("Bank.pls", {"Depot"});
    WriteList("anb.dbk", {"Bank", "Deka"});
    settings.Write("Fonds", "Portrait", "03");
    WriteAll(dir / "portrait.txt", "Fond\r\n");
    WriteStore("Depot", 6, 6);
    WriteStore("n_Depot", 5, 2);
  }
  void WriteStore(const std::string& name, int funds, int sections) {
    RecordStore s;
    const std::vector<int>& widths = sections == 6 ? fileset::kDepotRowWidths : fileset::kArchiveRowWidths;
    ASSERT_TRUE(s.Create(dir / name, sections, widths).ok());
    ASSERT_TRUE(s.Open().ok());
    for (int f = 0; f < funds; ++f) {
      s.AddRecord({"Fonds " + std::to_string(f), std::to_string(847400 + f), "1,0500", "Euro"});
      s.AppendRows(1, {"03.03.2003", "40,00", "04.03.2003", "41,00"}, 2);
    }
    ASSERT_TRUE(s.Save().ok());
  }
  void Start() {
    dialogs.depotChoices = {std::string("Depot")};
    ASSERT_EQ(doc.StartUp(wd()), CTellurioDoc::StartResult::Ready);
  }
  // "Neuer Fond" with a new fund.
  void NewFund() {
    fundDialogs.newFund.push_back(ScriptedFundDialogs::Submit({"Neuer Fonds", "999999", "5", "Euro"}));
    funds.NewFund();
  }
  std::vector<Message> WithTitle(const std::string& title) const {
    std::vector<Message> out;
    for (const Message& m : prompter.Messages())
      if (m.title == title) out.push_back(m);
    return out;
  }
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(DamagedFiles, AStoreThatCannotBeReadIsNamedAndNothingIsSavedOverIt) {
  Session f;
  // The six funds are there, but the file has grown beyond what may be read.
  const uintmax_t size = fs::file_size(f.dir / "Depot.dat");
  const std::string head = ReadAll(f.dir / "Depot.dat");
  fs::resize_file(f.dir / "Depot.dat", kMaxDataFileBytes + 1);
  f.Start();

  const std::vector<Message> errors = f.WithTitle("Fehler");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(Has(errors[0].text, (f.dir / "Depot.dat").string())) << errors[0].text;
  EXPECT_TRUE(Has(errors[0].text, "0 Datensätze")) << errors[0].text;
  EXPECT_TRUE(Has(errors[0].text, "schreibgeschützt")) << errors[0].text;
  EXPECT_EQ(f.doc.State().fundCount, 0);

  // "Neuer Fond" is refused with a message; the file keeps every byte.
  f.prompter.Clear();
  f.NewFund();
  ASSERT_FALSE(f.prompter.Messages().empty());
  EXPECT_EQ(f.prompter.Last().title, "Fehler");
  EXPECT_TRUE(Has(f.prompter.Last().text, "nicht überschrieben")) << f.prompter.Last().text;
  EXPECT_EQ(fs::file_size(f.dir / "Depot.dat"), kMaxDataFileBytes + 1);
  fs::resize_file(f.dir / "Depot.dat", size);
  EXPECT_EQ(ReadAll(f.dir / "Depot.dat"), head);

  // Readable again, the depot opens with its six funds and takes changes.
  f.dialogs.depotChoices = {std::string("Depot")};
  f.doc.SwitchDepot();
  EXPECT_EQ(f.doc.State().fundCount, 6);
  f.NewFund();
  EXPECT_EQ(f.doc.State().depotStore.RecordCount(), 7);
}

// Told once at the start is not enough: a user who switches to the depot
// later sees an empty depot and must be told why again.
TEST(DamagedFiles, SwitchingToAnUnreadableDepotTellsItAgain) {
  Session f;
  f.WriteList("Bank.pls", {"Depot", "Zweites"});
  f.WriteStore("Zweites", 2, 6);
  fs::resize_file(f.dir / "Depot.dat", kMaxDataFileBytes + 1);
  f.Start();
  ASSERT_EQ(f.WithTitle("Fehler").size(), 1u);

  f.dialogs.depotChoices = {std::string("Zweites")};
  f.doc.SwitchDepot();
  EXPECT_EQ(f.doc.State().fundCount, 2);
  f.prompter.Clear();
  f.dialogs.depotChoices = {std::string("Depot")};
  f.doc.SwitchDepot();
  const std::vector<Message> errors = f.WithTitle("Fehler");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(Has(errors[0].text, "schreibgeschützt")) << errors[0].text;
}

// Files copied from another system may have names in its own code page.
// Through the window's texts such a name would change ("\xE9" becomes
// U+FFFD), and opening the changed name made new, empty stores beside the
// real ones.  The files are named and left alone instead.
TEST(DamagedFiles, DataFilesWhoseNamesAreNotUtf8AreNamedAndLeftAlone) {
  Session f;
  f.WriteStore("Zweites", 2, 6);
  const std::string latin1 = "M\xFCller";  // "Müller" in code page 1252
  for (const char* ext : {".dat", ".idx"}) {
    fs::rename(f.dir / ("Zweites" + std::string(ext)), f.dir / (latin1 + ext));
    WriteAll(f.dir / ("n_" + latin1 + ext), "");
  }
  auto files = [&f] {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(f.dir.path())) names.insert(e.path().filename().string());
    return names;
  };
  f.Start();
  EXPECT_EQ(f.doc.State().depotNames, std::vector<std::string>{"Depot"});
  const std::vector<Message> notes = f.WithTitle("Hinweis");
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_TRUE(Has(notes[0].text, "Müller.dat")) << notes[0].text;
  EXPECT_TRUE(Has(notes[0].text, "UTF-8")) << notes[0].text;
  // Named once, also when the lists are read again.
  (void)f.doc.ListDataFiles(".dat");
  EXPECT_EQ(f.WithTitle("Hinweis").size(), 1u);

  // The name as the window would have turned it is refused, and no file of
  // that name is made.
  const std::string changed = "M\xEF\xBF\xBDller";
  const std::set<std::string> before = files();
  for (const std::string& name : before) EXPECT_EQ(name.find(changed), std::string::npos);
  f.doc.OpenDepotStores(changed);
  EXPECT_EQ(f.WithTitle("Fehler").size(), 1u);
  EXPECT_EQ(files(), before);
}

TEST(DamagedFiles, ADamagedStoreIsToldAndKeptBesideItBeforeTheNextSave) {
  Session f;
  std::string depot = ReadAll(f.dir / "Depot.dat");
  depot.resize(depot.size() / 5);
  WriteAll(f.dir / "Depot.dat", depot);
  // The archive of five funds loses a line in its second section.
  std::string archive = ReadAll(f.dir / "n_Depot.dat");
  archive.erase(archive.size() - 20, 12);
  WriteAll(f.dir / "n_Depot.dat", archive);
  f.Start();

  const std::vector<Message> notes = f.WithTitle("Hinweis");
  ASSERT_EQ(notes.size(), 2u) << "each damaged file once";
  EXPECT_EQ(f.WithTitle("Fehler").size(), 0u);
  const int read = f.doc.State().depotStore.RecordCount();
  EXPECT_LT(read, 6);
  EXPECT_TRUE(Has(notes[0].text, (f.dir / "Depot.dat").string())) << notes[0].text;
  EXPECT_TRUE(Has(notes[0].text, "unvollständig")) << notes[0].text;
  EXPECT_TRUE(Has(notes[0].text, "Gelesen wurden " + std::to_string(read))) << notes[0].text;
  EXPECT_TRUE(Has(notes[0].text, "Depot.dat.beschädigt-05.03.2003")) << notes[0].text;
  EXPECT_TRUE(Has(notes[1].text, (f.dir / "n_Depot.dat").string())) << notes[1].text;
  EXPECT_FALSE(fs::exists(f.dir / "Depot.dat.beschädigt-05.03.2003")) << "nothing is copied before a save";

  // Loading the depot again tells nothing new.
  f.prompter.Clear();
  f.doc.LoadDepot();
  EXPECT_TRUE(f.prompter.Messages().empty());

  f.NewFund();
  EXPECT_EQ(ReadAll(f.dir / "Depot.dat.beschädigt-05.03.2003"), depot);
  RecordStore saved;
  ASSERT_TRUE(saved.Create(f.dir / "Depot", 6, fileset::kDepotRowWidths).ok());
  ASSERT_TRUE(saved.Open().ok());
  EXPECT_FALSE(saved.Repaired());
  EXPECT_EQ(saved.RecordCount(), read + 1);
}

TEST(DamagedFiles, ADaxHistoryOrProviderListThatCannotBeReadIsNotWrittenOver) {
  Session f;
  f.WriteList("dax.dxt", {"04.03.2003", "4.000,00"});
  fs::resize_file(f.dir / "dax.dxt", kMaxDataFileBytes + 1);
  f.Start();
  EXPECT_EQ(f.WebCalls("DAXLaden"), 0);
  EXPECT_EQ(fs::file_size(f.dir / "dax.dxt"), kMaxDataFileBytes + 1);
  ASSERT_EQ(f.WithTitle("Fehler").size(), 1u);
  EXPECT_TRUE(Has(f.WithTitle("Fehler")[0].text, "dax.dxt"));

  // A new depot under a provider whose list cannot be read: refused, since
  // writing the list would lose the depots it holds.
  fs::resize_file(f.dir / "Bank.pls", kMaxDataFileBytes + 1);
  f.dialogs.newDepots = {NewDepotChoice{"Zweites", "Bank"}};
  EXPECT_FALSE(f.doc.NewDepot());
  ASSERT_FALSE(f.dialogs.refusals.empty());
  ASSERT_TRUE(f.dialogs.refusals.back().has_value());
  EXPECT_TRUE(Has(f.dialogs.refusals.back()->message, "Bank.pls")) << f.dialogs.refusals.back()->message;
  EXPECT_EQ(fs::file_size(f.dir / "Bank.pls"), kMaxDataFileBytes + 1);
  EXPECT_FALSE(f.Exists("Zweites.dat"));
}

TEST(DamagedFiles, LeftoversOfAnInterruptedSaveAreGoneAfterTheStart) {
  Session f;
  WriteAll(f.dir / ".Depot.dat.tmp-Ab3dEf", "halb geschrieben");
  f.Start();
  EXPECT_FALSE(f.Exists(".Depot.dat.tmp-Ab3dEf"));
  EXPECT_EQ(f.doc.State().fundCount, 6);
}

TEST(DamagedFiles, AFailingWebLibraryIsAMessageAndTheDepotIsStillCreated) {
  DocFixture f;
  marabu::DownloadResult internal;
  internal.kind = marabu::ErrorKind::Internal;
  internal.message = "Die Web-Bibliothek meldet einen internen Fehler: Die Arbeit brach ab.";
  f.web.internalFailure = internal;
  f.prompter.Script({Answer::No});
  f.dialogs.newDepots = {NewDepotChoice{"Eins", "Neue Bank"}};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  bool told = false;
  for (const Message& m : f.prompter.Messages())
    told = told || (m.title == "Fehler" && Has(m.text, "internen Fehler") && Has(m.text, "ohne Zuordnung"));
  EXPECT_TRUE(told);
  EXPECT_EQ(std::count(f.dialogs.log.begin(), f.dialogs.log.end(), "Fondanbieter zuordnen"), 0);
  EXPECT_TRUE(f.Exists("Eins.dat"));
  EXPECT_EQ(f.List("Neue Bank.pls"), Rows{"Eins"});
  EXPECT_TRUE(f.List("anb.dbk").empty());
  EXPECT_EQ(f.doc.State().webProvider, "");
}

}  // namespace
}  // namespace tellurio::testing
