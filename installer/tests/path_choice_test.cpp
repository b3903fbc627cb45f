// The rules of "Installationspfade wählen": drive types, the directory list
// and the checks on OK.

#include <gtest/gtest.h>

#include "installer/PathChoice.h"
#include "platform/testing/FakeDrives.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"

namespace tellurio {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(DriveTypes, TextsAndWhereTheProgramMayGo) {
  EXPECT_EQ(DriveTypeText(DriveType::Unknown), "unbekanntes Laufwerk");
  EXPECT_EQ(DriveTypeText(DriveType::NoRoot), "kein Zugriff möglich");
  EXPECT_EQ(DriveTypeText(DriveType::Removable), "Wechseldatenträger");
  EXPECT_EQ(DriveTypeText(DriveType::Fixed), "Festplattenlaufwerk");
  EXPECT_EQ(DriveTypeText(DriveType::Remote), "Netzwerklaufwerk");
  EXPECT_EQ(DriveTypeText(DriveType::CdRom), "CD-ROM Laufwerk");
  EXPECT_EQ(DriveTypeText(DriveType::RamDisk), "RAM-Disk");
  EXPECT_TRUE(CanInstallOn({"/", DriveType::Fixed, false}));
  EXPECT_TRUE(CanInstallOn({"/net", DriveType::Remote, false}));
  EXPECT_FALSE(CanInstallOn({"/", DriveType::Fixed, true}));
  EXPECT_FALSE(CanInstallOn({"/media/stick", DriveType::Removable, false}));
  EXPECT_FALSE(CanInstallOn({"/tmp", DriveType::RamDisk, false}));
}

TEST(DriveOf, TheLongestRootAboveThePathComponentWise) {
  const std::vector<Drive> drives = {
      {"/", DriveType::Fixed}, {"/home", DriveType::Fixed}, {"/home/anna/net", DriveType::Remote}};
  EXPECT_EQ(DriveOf(drives, "/home/anna/Tellurio"), 1);
  EXPECT_EQ(DriveOf(drives, "/home/anna/net/x"), 2);
  EXPECT_EQ(DriveOf(drives, "/homework/x"), 0);  // "/home" is no prefix of "/homework"
  EXPECT_EQ(DriveOf({{"/home", DriveType::Fixed}}, "/opt/x"), -1);
}

class PathChoiceTest : public ::testing::Test {
 protected:
  PathChoiceTest() {
    fs::create_directories(dir / "disk" / "Programme");
    fs::create_directories(dir / "disk" / "Anna");
    fs::create_directories(dir / "disk" / ".versteckt");
    fs::create_directories(dir / "cd");
    drives.drives = {{dir / "cd", DriveType::CdRom, true},
                     {dir / "disk", DriveType::Fixed, false},
                     {dir / "ro", DriveType::Fixed, true}};
  }
  TempDir dir;
  RecordingPrompter prompter;
  testing::FakeDrives drives;
};

TEST_F(PathChoiceTest, OpensOnTheTargetsDriveAndProposesTheProgramFolderOfAChosenDirectory) {
  PathChoice rules(prompter, drives, dir / "disk" / "Tellurio");
  EXPECT_EQ(rules.CurrentDrive(), 1);
  EXPECT_EQ(rules.DriveLabel(0), (dir / "cd").string() + "   (CD-ROM Laufwerk)");
  EXPECT_EQ(rules.Browsing(), dir / "disk");
  EXPECT_EQ(rules.Directories(), (std::vector<std::string>{"..", "Anna", "Programme"}));
  EXPECT_EQ(rules.PathText(), (dir / "disk" / "Tellurio").string());

  rules.OpenDirectory("Programme");
  EXPECT_EQ(rules.PathText(), (dir / "disk" / "Programme" / "Tellurio").string());
  rules.OpenDirectory("..");
  EXPECT_EQ(rules.Browsing(), dir / "disk");
  ASSERT_EQ(rules.Ok(), DialogStep::Accept);
  EXPECT_EQ(rules.Chosen(), dir / "disk" / "Tellurio");
  EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(PathChoiceTest, ADriveTheProgramCannotGoOnIsRefusedAndTheChoiceStays) {
  PathChoice rules(prompter, drives, dir / "disk" / "Tellurio");
  EXPECT_FALSE(rules.ChooseDrive(0));
  EXPECT_EQ(
      prompter.Last(),
      (Message{"Fehler", "Auf dem Laufwerk " + (dir / "cd").string() + " kann das Programm nicht installiert werden.",
               MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop}));
  EXPECT_EQ(rules.CurrentDrive(), 1);
  EXPECT_TRUE(rules.ChooseDrive(1));
  EXPECT_EQ(rules.PathText(), (dir / "disk" / "Tellurio").string());
}

TEST_F(PathChoiceTest, OkNeedsAFullPathOnAWritableDisk) {
  PathChoice rules(prompter, drives, dir / "disk" / "Tellurio");
  rules.EditPath("Tellurio");
  EXPECT_EQ(rules.Ok(), DialogStep::Stay);
  EXPECT_EQ(prompter.Last().text,
            "Bitte geben Sie den vollständigen Installationspfad an, zum Beispiel\n/opt/Tellurio.");
  rules.EditPath((dir / "ro" / "Tellurio").string());
  EXPECT_EQ(rules.Ok(), DialogStep::Stay);
  EXPECT_EQ(prompter.Last().text,
            "Auf dem Laufwerk " + (dir / "ro").string() + " kann das Programm nicht installiert werden.");
  rules.EditPath((dir / "disk" / "Eigene" / "Tellurio/").string());
  EXPECT_EQ(rules.Ok(), DialogStep::Accept);
  EXPECT_EQ(rules.Chosen(), dir / "disk" / "Eigene" / "Tellurio");
}

}  // namespace
}  // namespace tellurio
