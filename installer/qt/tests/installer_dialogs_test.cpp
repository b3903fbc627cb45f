// Wiring of the installer's dialogs: the main dialog shows what the rules
// say and its Start runs them; the licence dialog answers with the button
// pressed; the path dialog passes drive, directory and path to its rules.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "installer/qt/InstallerDialogsQt.h"
#include "installer/tests/InstallerTestSupport.h"
#include "platform/qt/testing/DialogDriver.h"
#include "platform/testing/FakeDesktopLinks.h"
#include "platform/testing/FakeDrives.h"
#include "platform/testing/FakeProcess.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"

namespace tellurio {
namespace {

namespace fs = std::filesystem;
using testing::DialogChild;
using testing::TempDir;
using testing::WhenShown;
using testing::WriteAll;

QString Text(QWidget* root, const char* name) {
  auto* label = root->findChild<QLabel*>(QLatin1String(name));
  return label ? label->text() : QStringLiteral("<missing>");
}

TEST(InstallerDialog, ShowsTheRulesFieldsAndStartInstallsAndCloses) {
  TempDir dir;
  fs::create_directories(dir / "src");
  fs::create_directories(dir / "home");
  WriteAll(dir / "src" / "tellurio", "ELF");
  ::chmod((dir / "src" / "tellurio").c_str(), 0755);
  WriteAll(dir / "src" / "install.txt", "Vorgabe=\r\nPlatz=12300000\r\nAnzahl=1\r\ntellurio\r\nZusatz=0\r\n");
  RecordingPrompter prompter;
  testing::FakeDrives drives;
  drives.freeSpace[dir.path()] = 1234000000;
  testing::FakeDesktopLinks links;
  testing::FakeProcess process;
  testing::ScriptedInstallerDialogs dialogs;
  InstallerDialog d(
      InstallerServices{prompter, drives, links, process, SystemPaths{dir / "home", dir / "lib", dir / "apps"}},
      dialogs);
  ASSERT_TRUE(d.Open(dir / "src"));
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Installationsprogramm"));
  EXPECT_EQ(Text(&d, "source"), QString::fromStdString((dir / "src").string()));
  EXPECT_EQ(Text(&d, "target"), QString::fromStdString((dir / "home" / "Tellurio").string()));
  EXPECT_EQ(Text(&d, "needed"), QStringLiteral("12,300 MByte"));
  EXPECT_EQ(Text(&d, "free"), QStringLiteral("1.234,00 MByte"));
  EXPECT_EQ(Text(&d, "status"), QStringLiteral("Installation auf diesem Laufwerk möglich"));

  d.show();
  QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("start")), Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_FALSE(d.isVisible());
  EXPECT_TRUE(fs::exists(dir / "home" / "Tellurio" / "tellurio"));
  EXPECT_TRUE(fs::exists(dir / "home" / "Tellurio" / "uinstall.txt"));
  EXPECT_TRUE(prompter.Messages().empty()) << prompter.Last().text;
}

TEST(LicenceDialog, NotAcceptingRefusesAndAcceptingAccepts) {
  InstallerDialogsQt dialogs(nullptr);
  QString shown;
  WhenShown([&] {
    shown = DialogChild<QPlainTextEdit>("text")->toPlainText();
    DialogChild<QPushButton>("refuse")->click();
  });
  EXPECT_FALSE(dialogs.AcceptLicence({"Lizenz für Tellurio", "Zeile 2"}));
  EXPECT_EQ(shown, QStringLiteral("Lizenz für Tellurio\nZeile 2\n"));
  WhenShown([] { DialogChild<QPushButton>("accept")->click(); });
  EXPECT_TRUE(dialogs.AcceptLicence({"x"}));
}

TEST(PathChoiceDialog, ARefusedDriveKeepsTheComboAndADirectoryProposesTheProgramFolder) {
  TempDir dir;
  fs::create_directories(dir / "disk" / "Programme");
  RecordingPrompter prompter;
  testing::FakeDrives drives;
  drives.drives = {{dir / "cd", DriveType::CdRom, true}, {dir / "disk", DriveType::Fixed, false}};
  PathChoice rules(prompter, drives, dir / "disk" / "Tellurio");
  InstallerDialogsQt dialogs(nullptr);
  int comboAfterRefusal = -1;
  WhenShown([&] {
    auto* combo = DialogChild<QComboBox>("drives");
    combo->setCurrentIndex(0);
    comboAfterRefusal = combo->currentIndex();
    auto* list = DialogChild<QListWidget>("directories");
    const auto items = list->findItems(QStringLiteral("Programme"), Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    emit list->itemActivated(items.first());
    DialogChild<QPushButton>("ok")->click();
  });
  ASSERT_TRUE(dialogs.ChooseTarget(rules));
  EXPECT_EQ(comboAfterRefusal, 1);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Auf dem Laufwerk " + (dir / "cd").string() +
                                                       " kann das Programm nicht installiert werden."});
  EXPECT_EQ(rules.Chosen(), dir / "disk" / "Programme" / "Tellurio");
}

}  // namespace
}  // namespace tellurio
