// The rules of the dialogs "Datensicherung" and "Datenrücksicherung" with the
// recording prompter.

#include <gtest/gtest.h>

#include <map>

#include "backup/DriveRules.h"
#include "platform/testing/FakeDrives.h"
#include "platform/testing/RecordingPrompter.h"

namespace tellurio::backup {
namespace {

const Message kNoBackupHere{"Hinweis von Vaskor",
                            "Sie können auf dem ausgewählten Laufwerk keine Daten sichern !!\n"
                            "Wählen Sie bitte ein anderes Laufwerk aus.",
                            MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop};
const Message kNoDataHere{"Hinweis von Vaskor",
                          "Auf dem ausgewählten Laufwerk sind keine Sicherungsdaten vorhanden !!\n"
                          "Der Vorgang wird abgebrochen.",
                          MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop};

TEST(DriveRules, DriveListCarriesTheTypeTextsOfTheDialogs) {
  tellurio::testing::FakeDrives drives;
  drives.drives = {{"/", DriveType::Fixed, false},
                   {"/media/cd", DriveType::CdRom, true},
                   {"/media/stick", DriveType::Removable, false},
                   {"/mnt/nas", DriveType::Remote, false},
                   {"/mnt/ram", DriveType::RamDisk, false},
                   {"/mnt/x", DriveType::Unknown, false},
                   {"/mnt/gone", DriveType::NoRoot, false}};
  std::vector<std::string> texts;
  for (const DriveEntry& d : DriveEntries(drives)) texts.push_back(TypeDisplay(d));
  EXPECT_EQ(texts, (std::vector<std::string>{"Festplattenlaufwerk", "CD-ROM (schreibgeschützt)", "Wechseldatenträger",
                                             "Netzwerklaufwerk", "RAM-Disk", "unbekannter Laufwerkstyp",
                                             "Kein DOS-Laufwerk"}));
}

std::vector<DriveEntry> SomeDrives() {
  return {{"/", "Festplattenlaufwerk", false},
          {"/media/cd", "CD-ROM", true},
          {"/media/stick", "Wechseldatenträger", false},
          {"/mnt/ro", "Festplattenlaufwerk", true},
          {"/mnt/x", "unbekannter Laufwerkstyp", false}};
}

TEST(DriveRules, BackupRefusesACdRomAndReturnsToTheFirstDrive) {
  RecordingPrompter p;
  BackupDriveRules rules(p, SomeDrives());
  const BackupDriveRules::View opening{0, "Festplattenlaufwerk", "/", "Sicherung auf diesem Laufwerk ist möglich"};
  EXPECT_EQ(rules.view(), opening);

  EXPECT_EQ(rules.SelectionChanged(1), (BackupDriveRules::View{1, "CD-ROM (schreibgeschützt)", "/media/cd",
                                                               "Sicherung auf diesem Laufwerk ist nicht möglich"}));
  EXPECT_EQ(rules.Ok(), DialogStep::Stay);
  EXPECT_EQ(p.Messages(), std::vector<Message>{kNoBackupHere});
  EXPECT_EQ(rules.view(), opening);
  EXPECT_EQ(rules.Chosen(), "/");

  EXPECT_EQ(rules.SelectionChanged(2).status, "Sicherung auf diesem Laufwerk ist möglich");
  EXPECT_EQ(rules.Ok(), DialogStep::Accept);
  EXPECT_EQ(rules.Chosen(), "/media/stick");
  EXPECT_EQ(p.Messages().size(), 1u);
}

TEST(DriveRules, BackupRefusesReadOnlyAndUnknownDrives) {
  RecordingPrompter p;
  BackupDriveRules rules(p, SomeDrives());
  for (int i : {3, 4}) {
    rules.SelectionChanged(i);
    EXPECT_EQ(rules.view().status, "Sicherung auf diesem Laufwerk ist nicht möglich");
    EXPECT_EQ(rules.Ok(), DialogStep::Stay);
  }
  EXPECT_EQ(p.Messages(), (std::vector<Message>{kNoBackupHere, kNoBackupHere}));
  // Without any drive nothing can be chosen.
  BackupDriveRules none(p, {});
  EXPECT_EQ(none.view().selected, -1);
  EXPECT_EQ(none.Ok(), DialogStep::Stay);
}

// A probe over a fixed answer per root that counts its calls.
struct Probe {
  std::map<std::string, GenerationsFound> found;
  int calls = 0;
  GenerationProbe Fn() {
    return [this](const std::filesystem::path& root) {
      ++calls;
      return found.count(root.string()) ? found.at(root.string()) : GenerationsFound{true, false, false};
    };
  }
};

TEST(DriveRules, RestoreShowsWhichGenerationsADriveHolds) {
  RecordingPrompter p;
  Probe probe;
  probe.found["/"] = {true, true, true};
  probe.found["/media/stick"] = {true, false, true};
  RestoreDriveRules rules(p, SomeDrives(), probe.Fn());
  // The first drive is a local disk: it is searched at once.
  EXPECT_EQ(rules.view(), (RestoreDriveRules::View{0, "Festplattenlaufwerk", "Vater\nSohn",
                                                   "Auf diesem Laufwerk wurden Sicherungsdaten gefunden"}));
  EXPECT_EQ(rules.SelectionChanged(2),
            (RestoreDriveRules::View{2, "Wechseldatenträger", "Sohn",
                                     "Auf diesem Laufwerk wurden Sicherungsdaten gefunden"}));
  EXPECT_EQ(rules.Ok(), DialogStep::Accept);
  EXPECT_EQ(rules.Chosen(), "/media/stick");
  // A CD-ROM can be read from: it is searched like any drive.
  EXPECT_EQ(rules.SelectionChanged(1).result, "Es wurden keine Sicherungsdaten gefunden");
  EXPECT_EQ(rules.Ok(), DialogStep::Cancel);
  EXPECT_EQ(p.Messages(), std::vector<Message>{kNoDataHere});
  // An unknown kind of drive is not searched at all.
  const int calls = probe.calls;
  EXPECT_EQ(rules.SelectionChanged(4), (RestoreDriveRules::View{4, "unbekannter Laufwerkstyp", "", ""}));
  EXPECT_EQ(probe.calls, calls);
  EXPECT_EQ(rules.Ok(), DialogStep::Cancel);
}

TEST(DriveRules, RestoreSearchesOnlyALocalDiskWhenItOpensAndFindsNothingOnADeadRoot) {
  RecordingPrompter p;
  Probe probe;
  std::vector<DriveEntry> drives = SomeDrives();
  std::swap(drives[0], drives[2]);  // a stick comes first
  RestoreDriveRules rules(p, drives, probe.Fn());
  EXPECT_EQ(probe.calls, 0);
  EXPECT_EQ(rules.view(), (RestoreDriveRules::View{0, "Wechseldatenträger", "", ""}));
  EXPECT_EQ(rules.Ok(), DialogStep::Accept);  // the restore itself says when nothing is there

  probe.found["/"] = {false, false, false};  // no medium, cannot be entered
  EXPECT_EQ(rules.SelectionChanged(2).result, "Es wurden keine Sicherungsdaten gefunden");
  EXPECT_EQ(rules.Ok(), DialogStep::Cancel);
}

}  // namespace
}  // namespace tellurio::backup
