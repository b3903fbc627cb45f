// The backup and restore commands with scripted drive dialogs, a fake drive
// list over temporary directories and the recording prompter.

#include <gtest/gtest.h>

#include <cerrno>

#include "backup/BackupCommands.h"
#include "backup/testing/FaultyFileLayer.h"
#include "backup/testing/ScriptedBackup.h"
#include "platform/testing/FakeDrives.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"

namespace tellurio::backup {
namespace {

using tellurio::testing::ReadAll;
using tellurio::testing::TempDir;
using tellurio::testing::WriteAll;

struct Commands {
  TempDir wd, stick, cd;
  RecordingPrompter prompter;
  tellurio::testing::FakeDrives drives;
  testing::FaultyFileLayer files;
  testing::ScriptedBackupDialogs dialogs;
  testing::RecordingBackupHost host;
  BackupCommands commands{dialogs, prompter, drives, files};

  Commands() {
    drives.drives = {{stick.path(), DriveType::Removable, false}, {cd.path(), DriveType::CdRom, true}};
    host.wd = wd.path();
    host.depots = {"Depot"};
    host.providers = {"Bank"};
    for (const char* f : {"Depot.dat", "Depot.idx", "Bank.pls", "anb.dbk", "dax.dxt", "portrait.txt"})
      WriteAll(wd / f, std::string(f) + " v1");
  }
};

TEST(BackupCommands, BackupShowsTheDrivesAndSaysNothingWhenItWorked) {
  Commands c;
  c.dialogs.backupChoices = {c.stick.path()};
  c.commands.Backup(c.host);
  ASSERT_EQ(c.dialogs.shownDrives.size(), 1u);
  EXPECT_EQ(c.dialogs.shownDrives[0],
            (std::vector<DriveEntry>{{c.stick.path(), "Wechseldatenträger", false}, {c.cd.path(), "CD-ROM", true}}));
  EXPECT_TRUE(c.prompter.Messages().empty());
  EXPECT_EQ(ReadAll(c.stick / "Vater" / "Depot.dat"), "Depot.dat v1");

  c.dialogs.backupChoices = {std::nullopt};  // cancelled: nothing happens
  c.commands.Backup(c.host);
  EXPECT_FALSE(std::filesystem::exists(c.stick / "Sohn"));
}

TEST(BackupCommands, AFailedBackupIsToldWithFileAndReason) {
  Commands c;
  c.drives.freeSpace[c.stick.path()] = 10;  // 10 bytes: nothing fits
  c.dialogs.backupChoices = {c.stick.path()};
  c.commands.Backup(c.host);
  // Six files of 10 to 15 bytes, 70 bytes together: 1 KB rounded up.
  EXPECT_EQ(c.prompter.Messages(),
            (std::vector<Message>{Message{
                "Hinweis von Vaskor",
                "Die Datensicherung auf das Laufwerk \"" + c.stick.path().string() +
                    "\" ist fehlgeschlagen.\n\nAuf dem Laufwerk \"" + c.stick.path().string() +
                    "\" ist nicht genug Platz: Die Sicherung braucht 1 KB, frei sind 0 KB.\n(Die neue Sicherung "
                    "wird neben die bisherigen geschrieben und ersetzt sie erst, wenn sie vollständig ist.)\n\nDie "
                    "bisherigen Sicherungen auf dem Laufwerk sind unverändert.",
                MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop}}));
  EXPECT_TRUE(std::filesystem::is_empty(c.stick.path()));
}

TEST(BackupCommands, RestoreReloadsTheDocumentOnlyWhenFilesWereReplaced) {
  Commands c;
  c.dialogs.backupChoices = {c.stick.path()};
  c.commands.Backup(c.host);
  WriteAll(c.wd / "Depot.dat", "Depot.dat v2");

  c.dialogs.restoreChoices = {std::nullopt};
  EXPECT_FALSE(c.commands.Restore(c.host));
  EXPECT_EQ(c.host.reloads, 0);

  c.dialogs.restoreChoices = {c.stick.path()};
  EXPECT_TRUE(c.commands.Restore(c.host));
  EXPECT_EQ(c.host.reloads, 1);
  EXPECT_EQ(ReadAll(c.wd / "Depot.dat"), "Depot.dat v1");
  EXPECT_TRUE(c.prompter.Messages().empty());
}

TEST(BackupCommands, RestoreFromADriveWithoutGenerationsCopiesNothing) {
  Commands c;
  WriteAll(c.cd / "Depot.dat", "not in a generation");
  c.dialogs.restoreChoices = {c.cd.path()};
  EXPECT_FALSE(c.commands.Restore(c.host));
  EXPECT_EQ(c.prompter.Last().text, "Auf dem Laufwerk \"" + c.cd.path().string() +
                                        "\" kann weder das Verzeichnis \"Vater\" noch das Verzeichnis \"Sohn\" "
                                        "geöffnet werden.\nEs wurden keine Daten zurückgesichert.");
  EXPECT_EQ(c.files.Count(FileOp::Write), 0);
  EXPECT_EQ(ReadAll(c.wd / "Depot.dat"), "Depot.dat v1");
  EXPECT_EQ(c.host.reloads, 0);
}

TEST(BackupCommands, RestoreFailingHalfwayNamesRestoredAndUnrestoredFilesAndReloads) {
  Commands c;
  c.dialogs.backupChoices = {c.stick.path()};
  c.commands.Backup(c.host);
  for (const char* f : {"Depot.dat", "Depot.idx", "Bank.pls"}) WriteAll(c.wd / f, std::string(f) + " v2");
  // Sorted: Bank.pls Depot.dat | Depot.idx anb.dbk dax.dxt portrait.txt
  c.files.Add(FileOp::Rename, EACCES).Under(c.wd.path()).After(2);
  c.dialogs.restoreChoices = {c.stick.path()};
  EXPECT_TRUE(c.commands.Restore(c.host));
  EXPECT_EQ(c.host.reloads, 1);
  EXPECT_EQ(c.prompter.Last().text,
            "Die Rücksicherung aus \"" + (c.stick / "Vater").string() +
                "\" ist nicht vollständig.\n\nDie Datei \"Depot.idx\" konnte nicht ersetzt werden:\nKeine "
                "Schreibberechtigung.\n\nZurückgesichert: Bank.pls, Depot.dat\nNicht zurückgesichert, unverändert: "
                "Depot.idx, anb.dbk, dax.dxt, portrait.txt");
  EXPECT_EQ(ReadAll(c.wd / "Depot.dat"), "Depot.dat v1");
  EXPECT_EQ(ReadAll(c.wd / "Depot.idx"), "Depot.idx v2");
}

}  // namespace
}  // namespace tellurio::backup
