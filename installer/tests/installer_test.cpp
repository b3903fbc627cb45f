// The installation as the main dialog runs it, on temporary directories:
// source directory, install root, system directory and applications
// directory are all inside one test directory.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "installer/Installer.h"
#include "installer/tests/InstallerTestSupport.h"
#include "platform/testing/FakeDesktopLinks.h"
#include "platform/testing/FakeDrives.h"
#include "platform/testing/FakeProcess.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"

namespace tellurio {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;
using Lines = std::vector<std::string>;

std::string Crlf(const Lines& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\r\n";
  return s;
}

void WriteProgram(const fs::path& p, const std::string& bytes) {
  WriteAll(p, bytes);
  ::chmod(p.c_str(), 0755);
}

class InstallerTest : public ::testing::Test {
 protected:
  InstallerTest() {
    for (const fs::path& d : {source(), root()}) fs::create_directories(d);
    drives.drives = {Drive{root(), DriveType::Fixed, false}};
    paths = SystemPaths{root(), dir / "syslib", dir / "apps"};
  }
  fs::path source() const { return dir / "src"; }
  fs::path root() const { return dir / "home"; }

  // A bundle like the release's: program, library, uninstaller, icon,
  // licence and notes.
  void WriteBundle(const std::string& extraLines = "Zusatz=0\r\n") {
    WriteProgram(source() / "tellurio", "ELF tellurio");
    WriteProgram(source() / "libmarabu.so", std::string(1005, 'm'));
    WriteProgram(source() / "uninstaller", "ELF uninstaller");
    WriteAll(source() / "tellurio.svg", "<svg/>");
    WriteAll(source() / "Lizenz.txt", "Lizenz f\xfcr Tellurio\r\nZeile 2\r\n");
    WriteAll(source() / "Hinweise.txt", "Installiert.\r\n");
    WriteAll(source() / "install.txt", Crlf({"Vorgabe=", "Umbenennen=0", "Platz=5000", "Anzahl=4", "tellurio",
                                             "libmarabu.so", "uninstaller", "tellurio.svg"}) +
                                           extraLines + Crlf({"Lizenz=Lizenz.txt", "Zusatztext=Hinweise.txt"}));
  }

  Installer Make() { return Installer(InstallerServices{prompter, drives, links, process, paths}, view, dialogs); }

  TempDir dir;
  RecordingPrompter prompter;
  testing::FakeDrives drives;
  testing::FakeDesktopLinks links;
  testing::FakeProcess process;
  SystemPaths paths;
  testing::RecordingInstallerView view;
  testing::ScriptedInstallerDialogs dialogs;
};

TEST_F(InstallerTest, WithoutControlFileTheProgramEndsWithTheMessage) {
  Installer installer = Make();
  EXPECT_FALSE(installer.Open(source()));
  EXPECT_EQ(prompter.Messages(),
            (std::vector<Message>{{"Fehler",
                                   "Die Datei install.txt ist nicht vorhanden.\nDie Installation wird "
                                   "deshalb abgebrochen.",
                                   MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop}}));
}

TEST_F(InstallerTest, DefaultTargetIsTheRootsProgrammeFolderOrTheRootItselfWithOneSeparator) {
  WriteBundle();
  paths.installRoot = root().string() + "/";
  {
    Installer installer = Make();
    ASSERT_TRUE(installer.Open(source()));
    EXPECT_EQ(view.target, root().string() + "/Tellurio");
    EXPECT_EQ(view.source, source().string());
    EXPECT_EQ(view.neededSpace, "0,005 MByte");
    EXPECT_EQ(view.status, "Installation auf diesem Laufwerk möglich");
    EXPECT_EQ(view.totalMaximum, 4);
  }
  fs::create_directory(root() / "Programme");
  Installer installer = Make();
  ASSERT_TRUE(installer.Open(source()));
  EXPECT_EQ(view.target, (root() / "Programme" / "Tellurio").string());
}

TEST_F(InstallerTest, FreeSpaceEqualToTheNeededSpaceIsRefusedAndNothingIsCopied) {
  WriteBundle();
  drives.freeSpace[root()] = 5000;
  Installer installer = Make();
  ASSERT_TRUE(installer.Open(source()));
  EXPECT_EQ(view.status, "Installation auf diesem Laufwerk nicht möglich");
  EXPECT_EQ(installer.Start(), DialogStep::Stay);
  EXPECT_EQ(prompter.Last(), (Message{"Fehler",
                                      "Auf dem ausgewählten Laufwerk kann das Programm nicht installiert "
                                      "werden.",
                                      MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop}));
  EXPECT_FALSE(fs::exists(installer.Target()));
  EXPECT_EQ(dialogs.licenceAsked, 0);

  drives.freeSpace[root()] = 5001;
  EXPECT_EQ(installer.Start(), DialogStep::Accept);
  EXPECT_TRUE(fs::exists(installer.Target() / "tellurio"));
}

TEST_F(InstallerTest, ARefusedLicenceCancelsWithTheSourceUntouched) {
  WriteBundle();
  dialogs.acceptLicence = false;
  Installer installer = Make();
  ASSERT_TRUE(installer.Open(source()));
  EXPECT_EQ(installer.Start(), DialogStep::Cancel);
  EXPECT_EQ(dialogs.licenceShown, (Lines{"Lizenz für Tellurio", "Zeile 2"}));
  EXPECT_FALSE(fs::exists(installer.Target()));
  // A second run still finds the licence, so it is never skipped.
  for (const char* f : {"install.txt", "Lizenz.txt", "Hinweise.txt", "tellurio"})
    EXPECT_TRUE(fs::exists(source() / f)) << f;
}

TEST_F(InstallerTest, InstallsFilesLinksAndTheUninstallRecord) {
  WriteBundle();
  Installer installer = Make();
  ASSERT_TRUE(installer.Open(source()));
  ASSERT_EQ(installer.Start(), DialogStep::Accept);
  EXPECT_TRUE(prompter.Messages().empty()) << prompter.Last().text;
  const fs::path t = root() / "Tellurio";

  EXPECT_EQ(ReadAll(t / "tellurio"), "ELF tellurio");
  EXPECT_EQ(ReadAll(t / "libmarabu.so"), std::string(1005, 'm'));
  EXPECT_EQ(fs::status(t / "tellurio").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
  // The source has given everything away: only a cancelled run keeps it.
  EXPECT_TRUE(fs::is_empty(source()));
  EXPECT_EQ(dialogs.notesShown, Lines{"Installiert."});
  EXPECT_EQ(view.totalValue, 4);
  // The library: 100 blocks of 10 and one of 5; the icon, 6 bytes, in one.
  const std::vector<std::pair<int, int>> blocks101 = {{100, 101}, {101, 101}, {0, 100}};
  EXPECT_NE(std::search(view.fileSteps.begin(), view.fileSteps.end(), blocks101.begin(), blocks101.end()),
            view.fileSteps.end());
  EXPECT_EQ(view.fileSteps.back(), std::make_pair(1, 1));
  EXPECT_NE(std::find(view.actions.begin(), view.actions.end(), "Kopiere die Datei libmarabu.so"), view.actions.end());

  const fs::path link = dir / "apps" / "Tellurio" / "tellurio.desktop";
  EXPECT_EQ(ReadAll(t / "uinstall.txt"),
            "Vorgabe=" + t.string() +
                "\r\nUmbenennen=0\r\nPlatz=5000\r\nAnzahl=4\r\ntellurio\r\nlibmarabu.so\r\nuninstaller\r\n"
                "tellurio.svg\r\nZusatz=0\r\nLizenz=Lizenz.txt\r\nZusatztext=Hinweise.txt\r\n" +
                link.string() + "\r\n");
  const std::string entry = ReadAll(link);
  for (const std::string& line : Lines{"Name=Tellurio", "Exec=" + (t / "tellurio").string(), "Path=" + t.string(),
                                       "Icon=" + (t / "tellurio.svg").string(), "Categories=Office;Finance;"})
    EXPECT_NE(entry.find("\n" + line + "\n"), std::string::npos) << line << "\n" << entry;
  const std::string uninstall = ReadAll(dir / "apps" / "Tellurio" / "uninstaller.desktop");
  EXPECT_NE(uninstall.find("\nExec=" + (t / "uninstaller").string() + "\n"), std::string::npos) << uninstall;
  EXPECT_NE(uninstall.find("\nName=Tellurio deinstallieren\n"), std::string::npos) << uninstall;
}

TEST_F(InstallerTest, AdditionalComponentsPresentInTheSystemDirectoryAreNeitherCopiedNorRecorded) {
  WriteBundle(
      Crlf({"Zusatz=1", "Programm=/usr/bin/regprog", "Zusatzanzahl=4", "a.dll", "b.ocx", "c.dll", "liesmich.txt"}));
  for (const char* f : {"a.dll", "b.ocx", "c.dll", "liesmich.txt"}) WriteAll(source() / f, std::string("neu ") + f);
  fs::create_directories(paths.systemDirectory);
  WriteAll(paths.systemDirectory / "a.dll", "alt");
  Installer installer = Make();
  ASSERT_TRUE(installer.Open(source()));
  EXPECT_EQ(view.totalMaximum, 8);
  ASSERT_EQ(installer.Start(), DialogStep::Accept);
  EXPECT_TRUE(prompter.Messages().empty()) << prompter.Last().text;

  EXPECT_EQ(ReadAll(paths.systemDirectory / "a.dll"), "alt");
  EXPECT_EQ(ReadAll(paths.systemDirectory / "b.ocx"), "neu b.ocx");
  EXPECT_EQ(ReadAll(paths.systemDirectory / "c.dll"), "neu c.dll");
  EXPECT_FALSE(fs::exists(paths.systemDirectory / "liesmich.txt"));
  EXPECT_EQ(ReadAll(installer.Target() / "liesmich.txt"), "neu liesmich.txt");
  // Only the new control is registered, from the system directory.
  EXPECT_EQ(process.started,
            (std::vector<testing::FakeProcess::Started>{{"/usr/bin/regprog", {"/s", "b.ocx"}, paths.systemDirectory}}));
  const std::string record = ReadAll(installer.Target() / "uinstall.txt");
  EXPECT_NE(record.find("\r\nZusatz=1\r\nProgramm=/usr/bin/regprog\r\nZusatzanzahl=3\r\nb.ocx\r\nc.dll\r\n"
                        "liesmich.txt\r\n"),
            std::string::npos)
      << record;
  EXPECT_TRUE(fs::is_empty(source()));
}

TEST_F(InstallerTest, WhenEveryComponentExistsTheRecordSaysZusatzNull) {
  WriteBundle(Crlf({"Zusatz=1", "Programm=regprog", "Zusatzanzahl=1", "a.dll"}));
  WriteAll(source() / "a.dll", "neu");
  fs::create_directories(paths.systemDirectory);
  WriteAll(paths.systemDirectory / "a.dll", "alt");
  Installer installer = Make();
  ASSERT_TRUE(installer.Open(source()));
  ASSERT_EQ(installer.Start(), DialogStep::Accept);
  const std::string record = ReadAll(installer.Target() / "uinstall.txt");
  EXPECT_NE(record.find("\r\nZusatz=0\r\nProgramm=regprog\r\nZusatzanzahl=0\r\nLizenz="), std::string::npos) << record;
  EXPECT_TRUE(process.started.empty());
}

TEST_F(InstallerTest, AFailedCopyKeepsItsSourceAndIsReportedOnceAtTheEnd) {
  WriteBundle();
  const fs::path t = root() / "Tellurio";
  fs::create_directories(t / "libmarabu.so");  // in the way of the library's copy
  links.failing["uninstaller.desktop"] = EACCES;
  Installer installer = Make();
  ASSERT_TRUE(installer.Open(source()));
  ASSERT_EQ(installer.Start(), DialogStep::Accept);

  ASSERT_EQ(prompter.Messages().size(), 1u);
  const Message m = prompter.Last();
  EXPECT_EQ(m.title, "Fehler");
  EXPECT_NE(m.text.find("Die Datei " + (source() / "libmarabu.so").string() + " konnte nicht nach " +
                        (t / "libmarabu.so").string() + " kopiert werden"),
            std::string::npos)
      << m.text;
  EXPECT_NE(m.text.find("uninstaller.desktop konnte nicht angelegt werden: Zugriff verweigert"), std::string::npos)
      << m.text;
  EXPECT_EQ(ReadAll(source() / "libmarabu.so"), std::string(1005, 'm'));
  EXPECT_TRUE(fs::exists(source() / "install.txt"));
  EXPECT_TRUE(fs::exists(source() / "Lizenz.txt"));
  EXPECT_FALSE(fs::exists(source() / "tellurio"));
  EXPECT_TRUE(fs::exists(t / "uinstall.txt"));
  EXPECT_EQ(dialogs.notesShown, Lines{"Installiert."});
}

TEST_F(InstallerTest, RenamesInTheSourceHappenAtOpeningAndSurviveARerun) {
  WriteAll(source() / "tellurio.neu", "ELF");
  WriteAll(source() / "install.txt",
           Crlf({"Vorgabe=", "Umbenennen=1", "tellurio.neu=tellurio", "Platz=1", "Anzahl=1", "tellurio"}));
  {
    Installer installer = Make();
    ASSERT_TRUE(installer.Open(source()));
  }
  EXPECT_EQ(ReadAll(source() / "tellurio"), "ELF");
  EXPECT_FALSE(fs::exists(source() / "tellurio.neu"));
  Installer again = Make();
  ASSERT_TRUE(again.Open(source()));
  EXPECT_TRUE(prompter.Messages().empty()) << prompter.Last().text;
}

TEST_F(InstallerTest, RefusedEntriesAndTheSourceAsTargetStopBeforeAnythingIsCopied) {
  WriteAll(source() / "install.txt", Crlf({"Vorgabe=", "Platz=1", "Anzahl=2", "tellurio", "../../etc/passwd"}));
  {
    Installer installer = Make();
    EXPECT_FALSE(installer.Open(source()));
    EXPECT_EQ(prompter.Last().text,
              "Die Datei install.txt enthält Einträge, denen das Installationsprogramm nicht folgt:\n"
              "\"../../etc/passwd\" ist kein einfacher Dateiname\nDie Installation wird deshalb abgebrochen.");
  }
  WriteBundle();
  Installer installer = Make();
  ASSERT_TRUE(installer.Open(source()));
  dialogs.choose = [&](PathChoice& rules) {
    rules.EditPath(source().string());
    return rules.Ok() == DialogStep::Accept;
  };
  drives.drives = {Drive{dir.path(), DriveType::Fixed, false}};
  installer.ChangeTarget();
  EXPECT_EQ(view.target, source().string());
  EXPECT_EQ(installer.Start(), DialogStep::Stay);
  EXPECT_EQ(prompter.Last().text,
            "Das Zielverzeichnis ist das Quellverzeichnis.\nBitte wählen Sie mit \"Ändern...\" ein anderes "
            "Zielverzeichnis.");
  EXPECT_TRUE(fs::exists(source() / "tellurio"));
}

}  // namespace
}  // namespace tellurio
