// Wiring of the drive dialogs: the combo box reaches the rules, the displays
// show what they say, and OK does what they decide.  Each test drives the
// modal dialog from a queued call.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "backup/qt/BackupDialogsQt.h"
#include "platform/qt/testing/DialogDriver.h"
#include "platform/testing/RecordingPrompter.h"

namespace tellurio::backup {
namespace {

using tellurio::testing::ActiveDialog;
using tellurio::testing::DialogChild;
using tellurio::testing::WhenShown;

QString Text(const char* label) { return DialogChild<QLabel>(label)->text(); }

// Guards against a combo box whose changes never reach the rules, displays
// that keep the old drive, and an OK that closes on a CD-ROM instead of
// returning to the first drive.
TEST(BackupDialogsQt, DatensicherungRefusesACdRomAndReturnsTheChosenDrive) {
  RecordingPrompter p;
  BackupDialogsQt dialogs(p, nullptr);
  const std::vector<DriveEntry> drives = {{"/", "Festplattenlaufwerk", false},
                                          {"/media/cd", "CD-ROM", true},
                                          {"/media/stick", "Wechseldatenträger", false}};
  bool checked = false;
  WhenShown([&] {
    ASSERT_NE(ActiveDialog(), nullptr);
    EXPECT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Datensicherung"));
    QComboBox* combo = DialogChild<QComboBox>("drives");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(Text("chosenDrive"), QStringLiteral("/"));
    EXPECT_EQ(Text("status"), QStringLiteral("Sicherung auf diesem Laufwerk ist möglich"));
    combo->setCurrentIndex(1);
    EXPECT_EQ(Text("driveType"), QStringLiteral("CD-ROM (schreibgeschützt)"));
    EXPECT_EQ(Text("chosenDrive"), QStringLiteral("/media/cd"));
    EXPECT_EQ(Text("status"), QStringLiteral("Sicherung auf diesem Laufwerk ist nicht möglich"));
    DialogChild<QPushButton>("ok")->click();
    ASSERT_NE(ActiveDialog(), nullptr) << "the refusal keeps the dialog open";
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(Text("driveType"), QStringLiteral("Festplattenlaufwerk"));
    EXPECT_EQ(Text("status"), QStringLiteral("Sicherung auf diesem Laufwerk ist möglich"));
    combo->setCurrentIndex(2);
    DialogChild<QPushButton>("ok")->click();
    checked = true;
  });
  EXPECT_EQ(dialogs.ChooseBackupDrive(drives), std::optional<std::filesystem::path>("/media/stick"));
  EXPECT_TRUE(checked);
  ASSERT_EQ(p.Messages().size(), 1u);
  EXPECT_EQ(p.Messages()[0].title, "Hinweis von Vaskor");
}

// Guards against found generations that never reach the display and an OK
// that returns a drive the user did not choose.
TEST(BackupDialogsQt, DatenruecksicherungShowsTheGenerationsOfTheChosenDrive) {
  RecordingPrompter p;
  BackupDialogsQt dialogs(p, nullptr);
  const std::vector<DriveEntry> drives = {{"/", "Festplattenlaufwerk", false},
                                          {"/media/stick", "Wechseldatenträger", false}};
  const GenerationProbe probe = [](const std::filesystem::path& root) {
    return root == "/" ? GenerationsFound{true, false, false} : GenerationsFound{true, true, true};
  };
  bool checked = false;
  WhenShown([&] {
    ASSERT_NE(ActiveDialog(), nullptr);
    EXPECT_EQ(ActiveDialog()->windowTitle(), QStringLiteral("Datenrücksicherung"));
    EXPECT_EQ(Text("found"), QString());
    EXPECT_EQ(Text("result"), QStringLiteral("Es wurden keine Sicherungsdaten gefunden"));
    DialogChild<QComboBox>("drives")->setCurrentIndex(1);
    EXPECT_EQ(Text("driveType"), QStringLiteral("Wechseldatenträger"));
    EXPECT_EQ(Text("found"), QStringLiteral("Vater\nSohn"));
    EXPECT_EQ(Text("result"), QStringLiteral("Auf diesem Laufwerk wurden Sicherungsdaten gefunden"));
    DialogChild<QPushButton>("ok")->click();
    checked = true;
  });
  EXPECT_EQ(dialogs.ChooseRestoreDrive(drives, probe), std::optional<std::filesystem::path>("/media/stick"));
  EXPECT_TRUE(checked);
  EXPECT_TRUE(p.Messages().empty());
}

}  // namespace
}  // namespace tellurio::backup
