// The removal as the uninstaller's dialog runs it, on temporary
// directories, with control files as the installer writes them and as
// someone might have changed them.

#include <gtest/gtest.h>

#include "installer/ControlFile.h"
#include "platform/testing/FakeProcess.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"
#include "uninstaller/Uninstaller.h"

namespace tellurio {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;
using Lines = std::vector<std::string>;

class RecordingView final : public UninstallerView {
 public:
  Lines files, systemFiles, actions;
  int value = 0, maximum = 0;
  void ShowFiles(const Lines& n) override { files = n; }
  void ShowSystemFiles(const Lines& n) override { systemFiles = n; }
  void FileRemoved(const std::string& n) override { files.erase(std::find(files.begin(), files.end(), n)); }
  void SystemFileRemoved(const std::string& n) override {
    systemFiles.erase(std::find(systemFiles.begin(), systemFiles.end(), n));
  }
  void ShowAction(const std::string& t) override { actions.push_back(t); }
  void SetProgress(int v, int m) override {
    value = v;
    maximum = m;
  }
};

class UninstallerTest : public ::testing::Test {
 protected:
  UninstallerTest() {
    paths = SystemPaths{dir / "home", dir / "syslib", dir / "apps"};
    for (const fs::path& d : {program(), paths.systemDirectory, menu()}) fs::create_directories(d);
    for (const char* f : {"tellurio", "libmarabu.so", "uninstaller"}) WriteAll(program() / f, "x");
    WriteAll(menu() / "tellurio.desktop", "[Desktop Entry]\n");
    WriteAll(menu() / "uninstaller.desktop", "[Desktop Entry]\n");
  }
  fs::path program() const { return dir / "home" / "Tellurio"; }
  fs::path menu() const { return dir / "apps" / "Tellurio"; }
  std::string link() const { return (menu() / "tellurio.desktop").string(); }

  void WriteRecord(const Lines& middle, const std::string& last, const std::string& vorgabe = "") {
    Lines lines = {"Vorgabe=" + (vorgabe.empty() ? program().string() : vorgabe), "Anzahl=1", "tellurio"};
    lines.insert(lines.end(), middle.begin(), middle.end());
    lines.push_back(last);
    fs::create_directories(program());
    WriteAll(program() / "uinstall.txt", ControlFileBytes(lines));
  }
  Uninstaller Make() { return Uninstaller(UninstallerServices{prompter, process, paths}, view); }

  TempDir dir;
  SystemPaths paths;
  RecordingPrompter prompter;
  testing::FakeProcess process;
  RecordingView view;
};

TEST_F(UninstallerTest, WithoutControlFileNothingHappens) {
  Uninstaller u = Make();
  EXPECT_FALSE(u.Open(program()));
  EXPECT_EQ(prompter.Messages(),
            (std::vector<Message>{{"Fehler",
                                   "Die Datei uinstall.txt ist nicht vorhanden.\nDas Programm wird "
                                   "deshalb abgebrochen.",
                                   MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop}}));
  EXPECT_TRUE(fs::exists(program() / "tellurio"));
}

TEST_F(UninstallerTest, RemovesProgramFilesLinksAndFolderAndThenTheEmptyDirectory) {
  WriteRecord({"Zusatz=0"}, link());
  Uninstaller u = Make();
  ASSERT_TRUE(u.Open(program()));
  EXPECT_EQ(view.files, (Lines{"libmarabu.so", "tellurio", "uinstall.txt", "uninstaller"}));
  EXPECT_TRUE(view.systemFiles.empty());
  EXPECT_EQ(view.maximum, 4);
  u.Uninstall();
  EXPECT_TRUE(prompter.Messages().empty()) << "no depot data: no question";
  EXPECT_TRUE(view.files.empty());
  EXPECT_EQ(view.value, 4);
  EXPECT_EQ(view.actions.front(), "Ich lösche die Datei libmarabu.so");
  EXPECT_FALSE(fs::exists(program()));
  EXPECT_FALSE(fs::exists(menu()));
  EXPECT_TRUE(fs::exists(dir / "apps"));
  EXPECT_TRUE(fs::exists(dir / "home"));
}

TEST_F(UninstallerTest, DepotDataStaysWithItsDirectoryWhenTheUserSaysNo) {
  WriteRecord({"Zusatz=0"}, link());
  for (const char* f :
       {"Meins.dat", "Meins.idx", "n_Meins.dat", "n_Meins.idx", "Deka.pls", "anb.dbk", "dax.dxt", "portrait.txt"})
    WriteAll(program() / f, "Daten");
  fs::create_directories(program() / "Fondpreise" / "Deka");
  WriteAll(program() / "Fondpreise" / "Deka" / "01022026.txt", "Kurse");
  prompter.Script({Answer::No});
  Uninstaller u = Make();
  ASSERT_TRUE(u.Open(program()));
  u.Uninstall();
  ASSERT_EQ(prompter.Messages().size(), 1u);
  const Message q = prompter.Last();
  EXPECT_EQ(q.title, "Frage");
  EXPECT_EQ(q.buttons, MessageButtons::YesNo);
  EXPECT_TRUE(q.defaultNo);  // Enter keeps the data
  EXPECT_NE(q.text.find("Sollen die Depotdaten ebenfalls gelöscht werden?"), std::string::npos) << q.text;
  for (const char* f : {"Meins.dat", "Meins.idx", "n_Meins.dat", "n_Meins.idx", "Deka.pls", "anb.dbk", "dax.dxt",
                        "portrait.txt", "Fondpreise/Deka/01022026.txt"})
    EXPECT_TRUE(fs::exists(program() / f)) << f;
  for (const char* f : {"tellurio", "libmarabu.so", "uninstaller", "uinstall.txt"})
    EXPECT_FALSE(fs::exists(program() / f)) << f;
  EXPECT_EQ(view.files.size(), 8u);  // the kept data stays listed

  // The same with "Ja": nothing is left.
  WriteRecord({"Zusatz=0"}, "");
  prompter.Script({Answer::Yes});
  RecordingView second;
  Uninstaller again(UninstallerServices{prompter, process, paths}, second);
  ASSERT_TRUE(again.Open(program()));
  again.Uninstall();
  EXPECT_FALSE(fs::exists(program()));
}

TEST_F(UninstallerTest, SystemFilesOnlyWithZusatzOneDllDeletedOcxUnregisteredFirstExeIgnored) {
  for (const char* f : {"a.dll", "b.ocx", "c.exe"}) WriteAll(paths.systemDirectory / f, "x");
  WriteRecord({"Zusatz=0", "Programm=reg", "Zusatzanzahl=3", "a.dll", "b.ocx", "c.exe"}, link());
  {
    Uninstaller u = Make();
    ASSERT_TRUE(u.Open(program()));
    EXPECT_TRUE(view.systemFiles.empty());
    u.Uninstall();
    EXPECT_TRUE(process.started.empty());
    EXPECT_TRUE(fs::exists(paths.systemDirectory / "a.dll"));
  }
  WriteRecord({"Zusatz=1", "Programm=reg", "Zusatzanzahl=3", "a.dll", "b.ocx", "c.exe"}, "");
  Uninstaller u = Make();
  ASSERT_TRUE(u.Open(program()));
  EXPECT_EQ(view.systemFiles, (Lines{"a.dll", "b.ocx"}));
  u.Uninstall();
  EXPECT_EQ(
      process.started,
      (std::vector<testing::FakeProcess::Started>{{"regsvr32.exe", {"/u", "/s", "b.ocx"}, paths.systemDirectory}}));
  EXPECT_FALSE(fs::exists(paths.systemDirectory / "a.dll"));
  EXPECT_FALSE(fs::exists(paths.systemDirectory / "b.ocx"));
  EXPECT_TRUE(fs::exists(paths.systemDirectory / "c.exe"));
  EXPECT_TRUE(view.systemFiles.empty());
  const auto unregister =
      std::find(view.actions.begin(), view.actions.end(), "Die Datei b.ocxwird aus der Registry entfernt.");
  ASSERT_NE(unregister, view.actions.end());
  EXPECT_NE(std::find(unregister, view.actions.end(), "Ich lösche die Datei b.ocx"), view.actions.end());
}

TEST_F(UninstallerTest, AnEmptyLastLineDeletesNoLink) {
  WriteRecord({"Zusatz=0"}, "");
  Uninstaller u = Make();
  ASSERT_TRUE(u.Open(program()));
  EXPECT_EQ(u.LinkPath(), "");
  u.Uninstall();
  EXPECT_TRUE(fs::exists(menu() / "tellurio.desktop"));
  EXPECT_TRUE(fs::exists(menu() / "uninstaller.desktop"));
}

TEST_F(UninstallerTest, AControlFileOfAnotherDirectoryChangesNothing) {
  // Copied from elsewhere, or pointing elsewhere: either way it does not
  // name the directory it lies in.
  fs::create_directories(dir / "victim");
  WriteAll(dir / "victim" / "brief.txt", "wichtig");
  WriteRecord({"Zusatz=0"}, link(), (dir / "victim").string());
  Uninstaller u = Make();
  EXPECT_FALSE(u.Open(program()));
  EXPECT_EQ(prompter.Last().text, "Die Datei uinstall.txt nennt das Programmverzeichnis \"" +
                                      (dir / "victim").string() + "\", liegt aber in " + program().string() +
                                      ".\nDas Programm wird deshalb abgebrochen.");
  WriteAll(dir / "victim" / "uinstall.txt", ReadAll(program() / "uinstall.txt"));
  EXPECT_FALSE(Make().Open(program() / ".." / ".." / "victim" / ".."));
  // Relative names and the home directory itself are refused too.
  WriteRecord({"Zusatz=0"}, link(), "Tellurio");
  EXPECT_FALSE(Make().Open(program()));
  WriteAll(dir / "home" / "uinstall.txt", ControlFileBytes({"Vorgabe=" + (dir / "home").string(), ""}));
  EXPECT_FALSE(Make().Open(dir / "home"));
  EXPECT_EQ(prompter.Last().text, "Das Verzeichnis " + (dir / "home").string() +
                                      " ist kein Programmverzeichnis.\nDas Programm wird deshalb abgebrochen.");
  EXPECT_EQ(ReadAll(dir / "victim" / "brief.txt"), "wichtig");
  EXPECT_TRUE(fs::exists(program() / "tellurio"));
}

TEST_F(UninstallerTest, TamperedEntriesAreNamedAndNothingOutsideTheProgramDirectoryGoes) {
  fs::create_directories(dir / "outside");
  for (const char* f : {"keep.dll", "keep.desktop", "target.txt"}) WriteAll(dir / "outside" / f, "bleibt");
  fs::create_symlink(dir / "outside" / "target.txt", program() / "link.txt");
  fs::create_directories(program() / "sub");
  WriteAll(program() / "sub" / "inner.txt", "bleibt");
  fs::create_symlink(dir / "outside" / "keep.desktop", menu() / "uninstaller.desktop.tmp");
  const std::string outsideLink = (dir / "outside" / "keep.desktop").string();
  WriteRecord({"Zusatz=1", "Zusatzanzahl=2", "../outside/keep.dll", (dir / "outside" / "keep.dll").string()},
              outsideLink);
  Uninstaller u = Make();
  ASSERT_TRUE(u.Open(program()));
  EXPECT_EQ(prompter.Last().text,
            "Diese Einträge der Datei uinstall.txt werden nicht befolgt:\n"
            "\"../outside/keep.dll\" ist kein einfacher Dateiname\n\"" +
                (dir / "outside" / "keep.dll").string() + "\" ist kein einfacher Dateiname\n\"" + outsideLink +
                "\" ist keine Verknüpfung im Anwendungsverzeichnis " + (dir / "apps").string());
  EXPECT_TRUE(view.systemFiles.empty());
  EXPECT_EQ(std::count(view.files.begin(), view.files.end(), "link.txt"), 0);
  u.Uninstall();
  for (const char* f : {"keep.dll", "keep.desktop", "target.txt"})
    EXPECT_EQ(ReadAll(dir / "outside" / f), "bleibt") << f;
  EXPECT_TRUE(fs::is_symlink(program() / "link.txt"));
  EXPECT_EQ(ReadAll(program() / "sub" / "inner.txt"), "bleibt");
  EXPECT_FALSE(fs::exists(program() / "tellurio"));
  EXPECT_TRUE(fs::exists(menu() / "tellurio.desktop")) << "the refused link path removes no link";
}

TEST(DepotData, TheFilesABackupSaves) {
  for (const char* f : {"Depot.dat", "Depot.idx", "n_Depot.dat", "Deka.pls", "anb.dbk", "dax.dxt", "portrait.txt"})
    EXPECT_TRUE(IsDepotDataFile(f)) << f;
  for (const char* f : {"tellurio", "libmarabu.so", "uinstall.txt", "dax1.html", "data"})
    EXPECT_FALSE(IsDepotDataFile(f)) << f;
}

}  // namespace
}  // namespace tellurio
