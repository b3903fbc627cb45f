// Backup and restore on the document: the restore offered at the first
// start, and a restore in a running session, with real files in temporary
// directories, a fake drive list and scripted drive dialogs.

#include <gtest/gtest.h>

#include "app/core/DocumentBackup.h"
#include "app/tests/FakeShell.h"
#include "backup/testing/ScriptedBackup.h"
#include "platform/testing/FakeDrives.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"

namespace tellurio::testing {
namespace {

namespace fs = std::filesystem;

void MakeDepot(const fs::path& wd, const std::string& depot, const std::string& fund, const std::string& currency) {
  RecordStore s;
  EXPECT_TRUE(s.Create(fileset::DepotBase(wd, depot), 6, fileset::kDepotRowWidths).ok());
  EXPECT_TRUE(s.Open().ok());
  s.AddRecord({fund, "123456", "1,0500", currency});
  s.AppendRows(1, {"04.03.2003", "10,00"}, 1);
  EXPECT_TRUE(s.Save().ok());
}

struct BackupFixture : DocFixture {
  TempDir stick;
  FakeDrives drives;
  backup::PosixFileLayer files;
  backup::testing::ScriptedBackupDialogs backupDialogs;
  backup::BackupCommands commands{backupDialogs, prompter, drives, files};
  DocumentBackup docBackup{doc, commands};

  BackupFixture() {
    drives.drives = {{stick.path(), DriveType::Removable, false}};
    doc.SetRestoreOffer(&docBackup);
  }
};

// A backup made elsewhere: depots "Rente" (Bank, web provider DWS, one
// Euro fund) and "Spar" on the stick.
void BackupOfAnotherDirectory(BackupFixture& f) {
  TempDir other;
  MakeDepot(other.path(), "Rente", "Fond R", "Euro");
  MakeDepot(other.path(), "Spar", "Fond S", "DM");
  ASSERT_TRUE(WriteListFile(other / "Bank.pls", {"Spar", "Rente"}).ok());
  ASSERT_TRUE(WriteListFile(other / "anb.dbk", {"Bank", "DWS"}).ok());
  backup::testing::RecordingBackupHost host;
  host.wd = other.path();
  host.depots = {"Rente", "Spar"};
  host.providers = {"Bank"};
  f.backupDialogs.backupChoices = {f.stick.path()};
  f.commands.Backup(host);
  ASSERT_TRUE(fs::exists(f.stick / "Vater" / "Rente.dat"));
}

TEST(BackupSession, FirstStartRestoresAndTheFirstDepotBecomesCurrent) {
  BackupFixture f;
  BackupOfAnotherDirectory(f);
  f.settings.Write("Fonds", "Waehrung", "Euro");
  f.prompter.Script({Answer::Yes});  // restore old data
  f.backupDialogs.restoreChoices = {f.stick.path()};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  EXPECT_EQ(std::count(f.dialogs.log.begin(), f.dialogs.log.end(), "neues Depot anlegen"), 0);
  const DepotState& s = f.doc.State();
  EXPECT_EQ(s.depotNames, (std::vector<std::string>{"Rente", "Spar"}));
  EXPECT_EQ(s.providerNames, std::vector<std::string>{"Bank"});
  EXPECT_EQ(s.currentDepot, "Rente");
  EXPECT_EQ(s.currentProvider, "Bank");
  EXPECT_EQ(s.webProvider, "DWS");
  EXPECT_EQ(s.currency, "Euro");
  EXPECT_EQ(s.fundCount, 1);
  EXPECT_EQ(f.doc.TickerText(), "*** Fond R 04.03.2003 10,00 Euro*** ");
  EXPECT_TRUE(fs::is_directory(f.dir / "Fondpreise" / "Bank" / "2003" / "Maerz"));
  EXPECT_EQ(f.views.status[1], "aktuelles Depot: Rente");
  EXPECT_EQ(f.prompter.UnscriptedQuestions(), 0);
}

// A backup that names a depot in its provider list but holds none of its
// stores must not let the program start without any depot.
TEST(BackupSession, FirstStartWithABackupWithoutDepotDataAsksForANewDepot) {
  BackupFixture f;
  fs::create_directory(f.stick / "Vater");
  ASSERT_TRUE(WriteListFile(f.stick / "Vater" / "Bank.pls", {"Verloren"}).ok());
  f.prompter.Script({Answer::Yes});
  f.backupDialogs.restoreChoices = {f.stick.path()};
  f.dialogs.newDepots = {NewDepotChoice{"Neu", "Kasse"}};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  EXPECT_EQ(f.prompter.Messages()[2].text, "Die Sicherung \"" + (f.stick / "Vater").string() +
                                               "\" enthält keine Depotdaten.\nEs wurden keine Daten zurückgesichert.");
  EXPECT_FALSE(f.Exists("Bank.pls"));
  EXPECT_EQ(f.doc.State().currentDepot, "Neu");
}

TEST(BackupSession, ADeletedDepotComesBackAndAnExtraDepotStaysListed) {
  BackupFixture f;
  f.prompter.Script({Answer::No});
  f.dialogs.newDepots = {NewDepotChoice{"Eins", "Bank"}};
  f.dialogs.webProviderChoices = {std::string("Deka")};
  ASSERT_EQ(f.doc.StartUp(f.wd()), CTellurioDoc::StartResult::Ready);
  f.dialogs.newDepots = {NewDepotChoice{"Zwei", "Bank"}};
  ASSERT_TRUE(f.doc.NewDepot());
  f.backupDialogs.backupChoices = {f.stick.path(), f.stick.path()};
  f.docBackup.Backup();
  f.docBackup.Backup();
  ASSERT_TRUE(fs::exists(f.stick / "Sohn" / "Zwei.dat"));

  // Eins is deleted, Zusatz is new and current.
  f.dialogs.deleteChoices = {std::string("Eins")};
  f.doc.DeleteDepot();
  f.dialogs.newDepots = {NewDepotChoice{"Zusatz", "Bank"}};
  ASSERT_TRUE(f.doc.NewDepot());
  ASSERT_EQ(f.doc.State().depotNames, (std::vector<std::string>{"Zwei", "Zusatz"}));
  ASSERT_FALSE(f.Exists("Eins.dat"));

  f.backupDialogs.restoreChoices = {f.stick.path()};
  const int updates = f.views.updates;
  f.docBackup.Restore();
  const DepotState& s = f.doc.State();
  EXPECT_EQ(s.depotNames, (std::vector<std::string>{"Eins", "Zusatz", "Zwei"}));
  EXPECT_EQ(s.currentDepot, "Eins");
  EXPECT_EQ(s.currentProvider, "Bank");
  EXPECT_EQ(s.webProvider, "Deka");
  EXPECT_TRUE(f.Exists("Eins.dat") && f.Exists("n_Eins.idx"));
  // The restored provider list is the backup's: it does not know Zusatz,
  // whose files stay as they were.
  EXPECT_EQ(f.List("Bank.pls"), (std::vector<std::string>{"Eins", "Zwei"}));
  EXPECT_TRUE(f.Exists("Zusatz.dat"));
  EXPECT_GT(f.views.updates, updates);
  EXPECT_EQ(f.views.status[1], "aktuelles Depot: Eins");
}

}  // namespace
}  // namespace tellurio::testing
