// The whole way of a release on temporary directories: the bundle made from
// this build as the release makes it, the installation from it, the record
// for the uninstaller, the installed program started as its menu entry
// starts it (offscreen, prices from the demo publisher), and the removal
// that keeps the depot data the user wants to keep.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <map>

#include "Publisher.h"
#include "installer/ControlFile.h"
#include "installer/Installer.h"
#include "installer/tests/InstallerTestSupport.h"
#include "platform/DesktopLinks.h"
#include "platform/DirectoryLock.h"
#include "platform/testing/FakeDrives.h"
#include "platform/testing/FakeProcess.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"
#include "platform/testing/WaitForFile.h"
#include "uninstaller/Uninstaller.h"

extern char** environ;

namespace tellurio {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;
using Lines = std::vector<std::string>;

// Runs a program to its end; its exit status, or -1.
int RunToEnd(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (rc != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The value of key in a desktop entry's text.
std::string EntryValue(const std::string& entry, const std::string& key) {
  const size_t at = entry.find("\n" + key + "=");
  if (at == std::string::npos) return {};
  const size_t start = at + key.size() + 2;
  return entry.substr(start, entry.find('\n', start) - start);
}

class UninstallView final : public UninstallerView {
 public:
  void ShowFiles(const Lines&) override {}
  void ShowSystemFiles(const Lines&) override {}
  void FileRemoved(const std::string&) override {}
  void SystemFileRemoved(const std::string&) override {}
  void ShowAction(const std::string&) override {}
  void SetProgress(int, int) override {}
};

TEST(ReleaseRoundTrip, BundleInstallStartFromTheMenuEntryAndRemoveKeepingDepotData) {
  TempDir dir;
  const fs::path bundle = dir / "tellurio-bundle";
  ASSERT_EQ(
      RunToEnd({TELLURIO_CMAKE, "--install", TELLURIO_BUILD_DIR, "--component", "bundle", "--prefix", bundle.string()}),
      0);
  const Lines files = {
      "tellurio", "libmarabu.so", "uninstaller", "tellurio.svg", "tellurio-kurse@.service", "tellurio-kurse@.timer"};
  std::vector<std::string> tool = {TELLURIO_BUNDLE_TOOL, bundle.string(), TELLURIO_RELEASE_DIR "/Lizenz.txt",
                                   TELLURIO_RELEASE_DIR "/Hinweise.txt"};
  tool.insert(tool.end(), files.begin(), files.end());
  ASSERT_EQ(RunToEnd(tool), 0);
  std::uintmax_t needed = 0;
  for (const std::string& f : files) needed += fs::file_size(bundle / f);

  // Install as a user whose home is in the test directory.
  const fs::path home = dir / "home";
  fs::create_directories(home);
  const SystemPaths paths{home, home / ".local" / "lib", home / ".local" / "share" / "applications"};
  RecordingPrompter prompter;
  testing::FakeDrives drives;
  drives.drives = {Drive{dir.path(), DriveType::Fixed, false}};
  DesktopEntryFiles links;
  testing::FakeProcess process;
  testing::RecordingInstallerView view;
  testing::ScriptedInstallerDialogs dialogs;
  Installer installer(InstallerServices{prompter, drives, links, process, paths}, view, dialogs);
  ASSERT_TRUE(installer.Open(bundle));
  ASSERT_EQ(installer.Start(), DialogStep::Accept);
  EXPECT_TRUE(prompter.Messages().empty()) << prompter.Last().text;
  EXPECT_EQ(dialogs.licenceAsked, 1);
  EXPECT_EQ(dialogs.licenceShown.front(), "Lizenzbedingungen für Tellurio");
  EXPECT_FALSE(dialogs.notesShown.empty());
  // The bundle keeps only the installer.
  EXPECT_EQ(std::distance(fs::directory_iterator(bundle), fs::directory_iterator()), 1);

  const fs::path target = home / "Tellurio";
  const fs::path menu = paths.applicationsDirectory / "Tellurio";
  EXPECT_EQ(ReadAll(target / "uinstall.txt"),
            "Vorgabe=" + target.string() + "\r\nUmbenennen=0\r\nPlatz=" + std::to_string(needed) +
                "\r\nAnzahl=6\r\ntellurio\r\nlibmarabu.so\r\nuninstaller\r\ntellurio.svg\r\n"
                "tellurio-kurse@.service\r\ntellurio-kurse@.timer\r\nZusatz=0\r\n"
                "Lizenz=Lizenz.txt\r\nZusatztext=Hinweise.txt\r\n" +
                (menu / "tellurio.desktop").string() + "\r\n");
  for (const char* entry : {"tellurio.desktop", "uninstaller.desktop"}) {
    const std::string command = "desktop-file-validate '" + (menu / entry).string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }

  // Start the program as the menu entry says, with the demo publisher.
  demo::PublisherOptions options;
  options.port = 0;
  options.everyDay = true;
  demo::PublisherServer publisher(options);
  std::string error;
  ASSERT_TRUE(publisher.Start(error)) << error;
  const std::string entry = ReadAll(menu / "tellurio.desktop");
  const std::string exec = EntryValue(entry, "Exec");
  const std::string workingDirectory = EntryValue(entry, "Path");
  ASSERT_EQ(exec, (target / "tellurio").string());
  ASSERT_EQ(workingDirectory, target.string());
  const std::string server = "127.0.0.1:" + std::to_string(publisher.port());
  std::map<std::string, std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string kv = *e;
    env[kv.substr(0, kv.find('='))] = kv.substr(kv.find('=') + 1);
  }
  env["QT_QPA_PLATFORM"] = "offscreen";
  env["HOME"] = home.string();
  env["XDG_CONFIG_HOME"] = (dir / "config").string();
  env["MARABU_PUBLISHER"] = env["MARABU_INDEX_SERVER"] = env["MARABU_COMPARISON_SERVER"] = server;
  env["TELLURIO_SOUND"] = "off";
  env["ASAN_OPTIONS"] = "detect_leaks=0";
  std::vector<std::string> envText;
  for (const auto& [k, v] : env) envText.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (std::string& kv : envText) envp.push_back(kv.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  char* argv[] = {const_cast<char*>(exec.c_str()), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, exec.c_str(), &actions, nullptr, argv, envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);
  // At its first start the program loads the DAX through the web library
  // and keeps it in dax.dxt; then it asks for a first depot and waits.
  // A sanitizer build under load starts slowly.
  const bool started = testing::WaitForFile(target / "dax.dxt", std::chrono::seconds(60));
  const std::string maps = ReadAll("/proc/" + std::to_string(pid) + "/maps");
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  publisher.Stop();
  ASSERT_TRUE(started) << "the installed program wrote no dax.dxt";
  // The library beside the program, not the one of the build tree.
  EXPECT_NE(maps.find((target / "libmarabu.so").string()), std::string::npos);
  EXPECT_EQ(maps.find(TELLURIO_BUILD_DIR "/weblib/libmarabu.so"), std::string::npos);

  // Remove it, keeping the depot data.
  prompter.Script({Answer::No});
  UninstallView uninstallView;
  Uninstaller uninstaller(UninstallerServices{prompter, process, paths}, uninstallView);
  ASSERT_TRUE(uninstaller.Open(target));
  uninstaller.Uninstall();
  ASSERT_EQ(prompter.Messages().size(), 1u);
  EXPECT_EQ(prompter.Last().title, "Frage");
  EXPECT_FALSE(fs::exists(menu));
  Lines kept;
  for (const auto& e : fs::directory_iterator(target)) kept.push_back(e.path().filename().string());
  EXPECT_NE(std::find(kept.begin(), kept.end(), "dax.dxt"), kept.end());
  // The lock file of the data directory stays with the data.
  for (const std::string& name : kept)
    EXPECT_TRUE(IsDepotDataFile(name) || name == DirectoryLock::kFileName) << name << " was left behind";
}

}  // namespace
}  // namespace tellurio
