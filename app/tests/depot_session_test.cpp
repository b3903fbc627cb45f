// The depot session on real files in a temporary working directory, with
// scripted dialogs and the recording prompter.

#include <gtest/gtest.h>

#include "app/tests/FakeShell.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"

namespace tellurio::testing {
namespace {

namespace fs = std::filesystem;

const std::string kFirstUse =
    "Sie nutzen das Programm das erste Mal, es sind noch keine Depots angelegt.\n"
    "oder Sie müssen erst alte Daten Rücksichern!!";

TEST(DepotSession, FirstStartAsksAndEndsWhenNoDepotIsCreated) {
  DocFixture f;
  f.prompter.Script({Answer::No});  // no restore
  f.dialogs.newDepots = {std::nullopt};
  EXPECT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Exit);
  const auto m = f.prompter.Messages();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].text, kFirstUse);
  EXPECT_EQ(m[0].title, "Hinweis");
  EXPECT_EQ(m[0].icon, MessageIcon::Information);
  EXPECT_EQ(m[0].beep, BeepKind::Information);
  EXPECT_EQ(m[1].text, "Wollen Sie alte Daten Rücksichern?");
  EXPECT_EQ(m[1].title, "Frage");
  EXPECT_EQ(m[1].buttons, MessageButtons::YesNo);
  EXPECT_EQ(f.dialogs.log, std::vector<std::string>{"neues Depot anlegen"});
  EXPECT_FALSE(f.Exists("Depot.dat"));
  // The settings got their defaults, never "Fehler".
  EXPECT_EQ(f.settings.Read("Fonds", "Zins", "x"), "3,00");
  EXPECT_EQ(f.settings.Read("Fonds", "Waehrung", "x"), "DM");
  EXPECT_EQ(f.settings.Read("Fonds", "Portrait", "x"), "03");
}

TEST(DepotSession, FirstStartCreatesADepotUnderANewProvider) {
  DocFixture f;
  f.prompter.Script({Answer::No});
  f.dialogs.newDepots = {NewDepotChoice{"Altersvorsorge", "Sparkasse"}};
  f.dialogs.webProviderChoices = {std::string("Deka")};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  const DepotState& s = f.doc.State();
  EXPECT_EQ(s.currentDepot, "Altersvorsorge");
  EXPECT_EQ(s.currentProvider, "Sparkasse");
  EXPECT_EQ(s.webProvider, "Deka");
  EXPECT_EQ(s.currency, "DM");
  EXPECT_DOUBLE_EQ(s.moneyMarketRate, 3.0);
  EXPECT_EQ(s.currencyFactors, (std::vector<std::string>{"DM", "1,00000"}));
  EXPECT_EQ(f.List("Sparkasse.pls"), std::vector<std::string>{"Altersvorsorge"});
  EXPECT_EQ(f.List("anb.dbk"), (std::vector<std::string>{"Sparkasse", "Deka"}));
  EXPECT_TRUE(f.Exists("Altersvorsorge.dat") && f.Exists("Altersvorsorge.idx"));
  EXPECT_TRUE(f.Exists("n_Altersvorsorge.dat") && f.Exists("n_Altersvorsorge.idx"));
  EXPECT_TRUE(fs::is_directory(f.dir / "Fondpreise" / "Sparkasse" / "2003" / "Maerz"));
  EXPECT_EQ(f.views.status[1], "aktuelles Depot: Altersvorsorge");
  // The DAX value of the day was fetched once and stored.
  EXPECT_EQ(f.WebCalls("DAXLaden"), 1);
  EXPECT_EQ(f.List("dax.dxt"), (std::vector<std::string>{"05.03.2003", "4.123,45"}));
  // Start-up steps of the other subsystems ran in their places: the portrait
  // refresh for the new month and again for the still empty portrait file.
  EXPECT_EQ(f.hooks.calls, (std::vector<std::string>{"portraits", "portraits", "stat:depot", "stat:all", "reconcile",
                                                     "portraitIndex"}));
  EXPECT_EQ(f.prompter.UnscriptedQuestions(), 0);
}

TEST(DepotSession, ALaterStartChoosesADepotWithoutAskingTheWebAgain) {
  DocFixture f;
  f.WriteList("dax.dxt", {"04.03.2003", "4.000,00", "05.03.2003", "4.100,00"});
  f.WriteList("Bank.pls", {"A", "B"});
  f.WriteList("anb.dbk", {"Bank", "DWS"});
  f.settings.Write("Fonds", "Portrait", "03");
  testing::WriteAll(f.dir / "portrait.txt", "Fond\r\n");
  {
    RecordStore s;
    EXPECT_TRUE(s.Create(f.dir / "B", 6, fileset::kDepotRowWidths).ok());
    EXPECT_TRUE(s.Open().ok());
    s.AddRecord({"Fond X", "123", "1,0500", "Euro"});
    s.AppendRows(1, {"04.03.2003", "10,00"}, 1);
    EXPECT_TRUE(s.Save().ok());
  }
  RecordStore a;
  EXPECT_TRUE(a.Create(f.dir / "A", 6, fileset::kDepotRowWidths).ok());
  f.dialogs.depotChoices = {std::string("B")};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  EXPECT_EQ(f.WebCalls("DAXLaden"), 0) << "today's value is already there";
  EXPECT_EQ(f.List("dax.dxt").size(), 4u);
  EXPECT_EQ(f.dialogs.lastDepotList, (std::vector<std::string>{"A", "B"}));
  const DepotState& s = f.doc.State();
  EXPECT_EQ(s.currentDepot, "B");
  EXPECT_EQ(s.currentProvider, "Bank");
  EXPECT_EQ(s.webProvider, "DWS");
  EXPECT_EQ(s.fundCount, 1);
  EXPECT_EQ(s.currencyFactors, (std::vector<std::string>{"Euro", "1,95583"}));
  EXPECT_EQ(f.doc.TickerText(), "*** Fond X 04.03.2003 10,00 Euro*** ");
  EXPECT_EQ(std::count(f.hooks.calls.begin(), f.hooks.calls.end(), "portraits"), 0);
  EXPECT_TRUE(f.prompter.Messages().empty());
}

TEST(DepotSession, RefusingToChooseAndToCreateEndsTheStart) {
  DocFixture f;
  f.WriteList("Bank.pls", {"A"});
  testing::WriteAll(f.dir / "A.dat", "");
  f.dialogs.depotChoices = {std::nullopt};
  f.prompter.Script({Answer::No});
  EXPECT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Exit);
  EXPECT_EQ(f.prompter.Last().text, "Sie haben kein Depot ausgewählt.\nWollen Sie ein neues Depot einrichten?");
  EXPECT_EQ(f.prompter.Last().beep, BeepKind::Question);
}

TEST(DepotSession, ADepotUnderAnExistingProviderAndAnExistingNameAgain) {
  DocFixture f;
  f.prompter.Script({Answer::No});
  f.dialogs.newDepots = {NewDepotChoice{"Eins", "Bank"}};
  f.dialogs.webProviderChoices = {std::nullopt};  // cancelled: no assignment
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  EXPECT_EQ(f.List("anb.dbk"), std::vector<std::string>{});
  EXPECT_EQ(f.List("Bank.pls"), std::vector<std::string>{"Eins"});

  f.dialogs.newDepots = {NewDepotChoice{"Zwei", "Bank"}};
  ASSERT_TRUE(f.doc.NewDepot());
  EXPECT_EQ(f.List("Bank.pls"), (std::vector<std::string>{"Eins", "Zwei"}));
  EXPECT_EQ(std::count(f.dialogs.log.begin(), f.dialogs.log.end(), "Fondanbieter zuordnen"), 1);

  // The same name again: opened, not listed twice, its files unchanged.
  {
    RecordStore s;
    EXPECT_TRUE(s.Create(f.dir / "Eins", 6, fileset::kDepotRowWidths).ok());
    EXPECT_TRUE(s.Open().ok());
    s.AddRecord({"Fond", "1", "1,0000", "DM"});
    EXPECT_TRUE(s.Save().ok());
  }
  const std::string before = ReadAll(f.dir / "Eins.dat");
  f.dialogs.newDepots = {NewDepotChoice{"Eins", "Bank"}};
  ASSERT_TRUE(f.doc.NewDepot());
  EXPECT_EQ(f.doc.State().depotNames, (std::vector<std::string>{"Eins", "Zwei"}));
  EXPECT_EQ(f.List("Bank.pls"), (std::vector<std::string>{"Eins", "Zwei"}));
  EXPECT_EQ(ReadAll(f.dir / "Eins.dat"), before);
  EXPECT_EQ(f.doc.State().fundCount, 1);
}

// Names become file names: nothing may be written outside the working
// directory, and nothing the list files cannot hold.
TEST(DepotSession, UnusableNamesAreRefusedBeforeAnythingIsWritten) {
  DocFixture f;
  f.prompter.Script({Answer::No});
  f.dialogs.newDepots = {NewDepotChoice{"../Flucht", "Bank"}, NewDepotChoice{"n_Archiv", "Bank"},
                         NewDepotChoice{"Gut", "a/b"},        NewDepotChoice{"Gut", "   "},
                         NewDepotChoice{"%Depot", "Bank"},    NewDepotChoice{"..", "Bank"},
                         NewDepotChoice{"Gut", "Bank\tZwei"}, NewDepotChoice{"Gut", "Bank"}};
  f.dialogs.webProviderChoices = {std::string("Deka")};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  ASSERT_EQ(f.dialogs.refusals.size(), 8u);
  for (size_t i = 0; i < 7; ++i) EXPECT_TRUE(f.dialogs.refusals[i].has_value()) << i;
  EXPECT_FALSE(f.dialogs.refusals[7].has_value());
  EXPECT_TRUE(f.dialogs.refusals[0]->depotField);
  EXPECT_FALSE(f.dialogs.refusals[2]->depotField);
  EXPECT_NE(f.dialogs.refusals[1]->message.find("n_"), std::string::npos);
  EXPECT_FALSE(fs::exists(f.dir.path().parent_path() / "Flucht.dat"));
  EXPECT_EQ(f.doc.State().currentDepot, "Gut");
  EXPECT_EQ(f.doc.State().depotNames, std::vector<std::string>{"Gut"});
}

TEST(DepotSession, DeleteDepotRefusesTheLastAndTheCurrentDepot) {
  DocFixture f;
  f.prompter.Script({Answer::No});
  f.dialogs.newDepots = {NewDepotChoice{"Eins", "Bank"}};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  f.prompter.Clear();
  f.doc.DeleteDepot();
  EXPECT_EQ(f.prompter.Last().text, "Es ist nur ein Depot vorhanden und das können Sie nicht löschen");
  EXPECT_EQ(f.prompter.Last().icon, MessageIcon::Stop);
  EXPECT_EQ(std::count(f.dialogs.log.begin(), f.dialogs.log.end(), "Depot löschen"), 0) << "no dialog";

  f.dialogs.newDepots = {NewDepotChoice{"Zwei", "Bank"}};
  f.doc.NewDepot();
  f.dialogs.deleteChoices = {std::string("Zwei")};
  f.doc.DeleteDepot();
  EXPECT_EQ(f.prompter.Last().text,
            "Sie haben das aktive Depot zum löschen ausgewählt.\nSie können das aktive Depot nicht löschen");
  EXPECT_TRUE(f.Exists("Zwei.dat"));
}

TEST(DepotSession, DeletingTheLastDepotOfAProviderRemovesTheProvider) {
  DocFixture f;
  f.prompter.Script({Answer::No});
  f.dialogs.newDepots = {NewDepotChoice{"Eins", "Bank"}};
  f.dialogs.webProviderChoices = {std::string("Deka")};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  f.dialogs.newDepots = {NewDepotChoice{"Zwei", "Kasse"}, NewDepotChoice{"Drei", "Kasse"}};
  f.dialogs.webProviderChoices = {std::string("DWS")};
  f.doc.NewDepot();
  f.doc.NewDepot();
  testing::WriteAll(f.dir / "Fondpreise" / "Kasse" / "2003" / "Maerz" / "05032003.txt", "x");
  ASSERT_EQ(f.List("anb.dbk"), (std::vector<std::string>{"Bank", "Deka", "Kasse", "DWS"}));

  // Deleting one of two depots of Kasse only shortens its list.
  f.dialogs.deleteChoices = {std::string("Zwei")};
  f.dialogs.newDepots = {};
  f.doc.SwitchDepot();  // no choice scripted: stays on Drei
  f.doc.DeleteDepot();
  EXPECT_EQ(f.List("Kasse.pls"), std::vector<std::string>{"Drei"});
  EXPECT_FALSE(f.Exists("Zwei.dat") || f.Exists("Zwei.idx") || f.Exists("n_Zwei.dat") || f.Exists("n_Zwei.idx"));

  // Now Kasse's last depot, from another depot.
  f.dialogs.depotChoices = {std::string("Eins")};
  f.doc.SwitchDepot();
  f.dialogs.deleteChoices = {std::string("Drei")};
  f.doc.DeleteDepot();
  EXPECT_FALSE(f.Exists("Kasse.pls"));
  EXPECT_FALSE(fs::exists(f.dir / "Fondpreise" / "Kasse"));
  EXPECT_TRUE(fs::exists(f.dir / "Fondpreise" / "Bank"));
  EXPECT_EQ(f.List("anb.dbk"), (std::vector<std::string>{"Bank", "Deka"}));
  EXPECT_EQ(f.doc.State().providerNames, std::vector<std::string>{"Bank"});
  EXPECT_EQ(f.doc.State().depotNames, std::vector<std::string>{"Eins"});
}

// A provider without an assignment must not keep the web provider of the
// depot opened before, or the download would fetch another provider's prices.
TEST(DepotSession, SwitchingToAProviderWithoutAssignmentClearsTheWebProvider) {
  DocFixture f;
  f.prompter.Script({Answer::No});
  f.dialogs.newDepots = {NewDepotChoice{"Eins", "Bank"}};
  f.dialogs.webProviderChoices = {std::string("Deka")};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  f.dialogs.newDepots = {NewDepotChoice{"Zwei", "Kasse"}};
  f.dialogs.webProviderChoices = {std::nullopt};
  f.doc.NewDepot();
  EXPECT_EQ(f.doc.State().webProvider, "");
  f.dialogs.depotChoices = {std::string("Eins"), std::string("Zwei")};
  f.doc.SwitchDepot();
  EXPECT_EQ(f.doc.State().webProvider, "Deka");
  f.doc.SwitchDepot();
  EXPECT_EQ(f.doc.State().webProvider, "");
}

TEST(DepotSession, CurrencyAndMoneyMarketRate) {
  DocFixture f;
  f.prompter.Script({Answer::No});
  f.dialogs.newDepots = {NewDepotChoice{"Eins", "Bank"}};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  f.doc.RegisterCurrency("Euro");
  f.dialogs.factorEntries = {std::string("1,2345")};
  f.doc.RegisterCurrency("USD");
  EXPECT_EQ(f.dialogs.log.back(), "Währungsumrechnung USD in DM");
  f.hooks.calls.clear();

  f.dialogs.currencyChoices = {std::string("Euro")};
  f.doc.SwitchCurrency();
  EXPECT_EQ(f.settings.Read("Fonds", "Waehrung", ""), "Euro");
  EXPECT_EQ(f.doc.State().currency, "Euro");
  EXPECT_EQ(f.doc.State().currencyFactors,
            (std::vector<std::string>{"DM", "0,51129", "Euro", "1,00000", "USD", "0,63118"}));
  EXPECT_EQ(f.views.status[2], "aktuelle Währung: Euro");
  EXPECT_EQ(f.hooks.calls, std::vector<std::string>{"stat:depot"});

  f.dialogs.currencyChoices = {std::nullopt};  // ABBR changes nothing
  const int writes = f.settings.Writes();
  f.doc.SwitchCurrency();
  EXPECT_EQ(f.settings.Writes(), writes);

  f.hooks.calls.clear();
  f.dialogs.rateEntries = {std::string("2,75")};
  f.doc.EnterMoneyMarketRate();
  EXPECT_EQ(f.dialogs.log.back(), "Eingabe des Geldmarkzinses 3,00");
  EXPECT_EQ(f.settings.Read("Fonds", "Zins", ""), "2,75");
  EXPECT_DOUBLE_EQ(f.doc.State().moneyMarketRate, 2.75);
  EXPECT_EQ(f.hooks.calls, (std::vector<std::string>{"risk:depot", "risk:all"}));
}

TEST(DepotSession, AFailedDaxDownloadIsReportedAndTheStartGoesOn) {
  DocFixture f;
  f.web.failure = marabu::testing::FakeWebLibrary::ConnectFailure("127.0.0.1:1");
  f.prompter.Script({Answer::No});
  f.dialogs.newDepots = {NewDepotChoice{"Eins", "Bank"}};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  const Message first = f.prompter.Messages()[0];
  EXPECT_EQ(first.title, "Fehler");
  EXPECT_NE(first.text.find("127.0.0.1:1"), std::string::npos);
  EXPECT_TRUE(f.List("dax.dxt").empty());
  EXPECT_TRUE(f.Exists("dax.dxt"));
}

}  // namespace
}  // namespace tellurio::testing
