// Desktop entries for shell links, the install paths of a user, and their
// files: what a desktop's menu reads.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "platform/DesktopLinks.h"
#include "platform/SystemPaths.h"
#include "platform/testing/TempDir.h"

namespace tellurio {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;

TEST(DesktopEntry, KeysOfTheLinkAndExecQuotedOnlyWhereNeeded) {
  const ShellLink link{"Tellurio", "Investmentfonds verwalten", "/home/anna/Tellurio/tellurio", "/home/anna/Tellurio",
                       "/home/anna/Tellurio/tellurio.svg"};
  EXPECT_EQ(DesktopEntryText(link),
            "[Desktop Entry]\nType=Application\nVersion=1.4\nName=Tellurio\nComment=Investmentfonds verwalten\n"
            "Exec=/home/anna/Tellurio/tellurio\nPath=/home/anna/Tellurio\nIcon=/home/anna/Tellurio/tellurio.svg\n"
            "Terminal=false\nCategories=Office;Finance;\n");
  // A blank, a dollar and a percent sign: quoted, "$" escaped with a
  // backslash (doubled as a string value), "%" doubled.
  ShellLink odd = link;
  odd.target = "/opt/Meine Programme/$x%/tellurio";
  odd.icon.clear();
  odd.description.clear();
  const std::string text = DesktopEntryText(odd);
  EXPECT_NE(text.find("\nExec=\"/opt/Meine Programme/\\\\$x%%/tellurio\"\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Icon="), std::string::npos);
  EXPECT_EQ(text.find("Comment="), std::string::npos);
}

TEST(DesktopEntry, SavedFilesValidateAndReplaceTheOldOnes) {
  TempDir dir;
  DesktopEntryFiles files;
  const ShellLink link{"Tellurio deinstallieren", "Entfernen", dir.path() / "Mein Ordner" / "uninstaller",
                       dir.path() / "Mein Ordner", ""};
  const fs::path folder = dir / "applications" / "Tellurio";
  ASSERT_EQ(files.Save(link, folder, "uninstaller.desktop"), 0);
  ASSERT_EQ(files.Save(link, folder, "uninstaller.desktop"), 0);
  EXPECT_EQ(ReadAll(folder / "uninstaller.desktop"), DesktopEntryText(link));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  // desktop-file-utils is installed by scripts/install-deps.sh.
  const std::string command = "desktop-file-validate '" + (folder / "uninstaller.desktop").string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;

  // A folder that cannot be made: the errno comes back, no file is written.
  EXPECT_NE(files.Save(link, dir / "applications" / "Tellurio" / "uninstaller.desktop" / "x", "a.desktop"), 0);
}

TEST(SystemPaths, HomeForUsersAndSystemPlacesForRoot) {
  const SystemPaths user = SystemPathsFor(1000, "/home/anna/", nullptr);
  EXPECT_EQ(user.installRoot, "/home/anna/");
  EXPECT_EQ(user.systemDirectory, "/home/anna/.local/lib");
  EXPECT_EQ(user.applicationsDirectory, "/home/anna/.local/share/applications");
  EXPECT_EQ(SystemPathsFor(1000, "/home/anna", "/data/xdg").applicationsDirectory, "/data/xdg/applications");
  // A relative XDG_DATA_HOME is not to be used.
  EXPECT_EQ(SystemPathsFor(1000, "/home/anna", "xdg").applicationsDirectory, "/home/anna/.local/share/applications");
  const SystemPaths root = SystemPathsFor(0, "/root", "/root/.xdg");
  EXPECT_EQ(root.installRoot, "/opt");
  EXPECT_EQ(root.systemDirectory, "/usr/local/lib");
  EXPECT_EQ(root.applicationsDirectory, "/usr/local/share/applications");
}

}  // namespace
}  // namespace tellurio
