// Wiring of the uninstaller's dialog: the lists come from the rules, and
// "Deinstallieren" removes, empties the list and closes.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "installer/ControlFile.h"
#include "platform/testing/FakeProcess.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"
#include "uninstaller/qt/UninstallerDialog.h"

namespace tellurio {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteAll;

QStringList Lines(QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

TEST(UninstallerDialog, ListsTheFilesAndDeinstallierenRemovesThemAndCloses) {
  TempDir dir;
  const fs::path program = dir / "home" / "Tellurio";
  fs::create_directories(program);
  fs::create_directories(dir / "lib");
  WriteAll(program / "tellurio", "x");
  WriteAll(dir / "lib" / "a.dll", "x");
  WriteAll(program / "uinstall.txt",
           ControlFileBytes({"Vorgabe=" + program.string(), "Zusatz=1", "Zusatzanzahl=1", "a.dll", ""}));
  RecordingPrompter prompter;
  testing::FakeProcess process;
  UninstallerDialog d(UninstallerServices{prompter, process, SystemPaths{dir / "home", dir / "lib", dir / "apps"}});
  ASSERT_TRUE(d.Open(program));
  EXPECT_EQ(d.windowTitle(), QStringLiteral("uninstaller"));
  auto* files = d.findChild<QListWidget*>(QStringLiteral("files"));
  auto* system = d.findChild<QListWidget*>(QStringLiteral("systemFiles"));
  EXPECT_EQ(Lines(files), (QStringList{QStringLiteral("tellurio"), QStringLiteral("uinstall.txt")}));
  EXPECT_EQ(Lines(system), QStringList{QStringLiteral("a.dll")});

  d.show();
  QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("uninstall")), Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(files->count(), 0);
  EXPECT_EQ(system->count(), 0);
  EXPECT_FALSE(fs::exists(program));
  EXPECT_FALSE(fs::exists(dir / "lib" / "a.dll"));
}

TEST(UninstallerDialog, AbbrechenChangesNothing) {
  TempDir dir;
  const fs::path program = dir / "home" / "Tellurio";
  fs::create_directories(program);
  WriteAll(program / "uinstall.txt", ControlFileBytes({"Vorgabe=" + program.string(), ""}));
  RecordingPrompter prompter;
  testing::FakeProcess process;
  UninstallerDialog d(UninstallerServices{prompter, process, SystemPaths{dir / "home", dir / "lib", dir / "apps"}});
  ASSERT_TRUE(d.Open(program));
  d.show();
  QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Rejected);
  EXPECT_TRUE(fs::exists(program / "uinstall.txt"));
}

}  // namespace
}  // namespace tellurio
