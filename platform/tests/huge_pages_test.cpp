// The C library's heap on huge pages: the tunable added to what the user
// set (and never against the user's own choice), and the restart of the
// program with it: same arguments, the tunable in effect from the start,
// the user's environment back afterwards.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/HugePages.h"
#include "platform/testing/TempDir.h"

extern char** environ;

namespace tellurio {
namespace {

namespace fs = std::filesystem;

TEST(HugePages, TheTunableIsAddedToWhatTheUserSet) {
  EXPECT_EQ(TunablesWithHugePages(nullptr), std::optional<std::string>("glibc.malloc.hugetlb=1"));
  EXPECT_EQ(TunablesWithHugePages(""), std::optional<std::string>("glibc.malloc.hugetlb=1"));
  EXPECT_EQ(TunablesWithHugePages("glibc.malloc.check=3"),
            std::optional<std::string>("glibc.malloc.check=3:glibc.malloc.hugetlb=1"));
  // A name that only begins like it is another tunable.
  EXPECT_EQ(TunablesWithHugePages("glibc.malloc.hugetlbx=2"),
            std::optional<std::string>("glibc.malloc.hugetlbx=2:glibc.malloc.hugetlb=1"));
  // The user's own setting stays, wherever it is in the list.
  EXPECT_EQ(TunablesWithHugePages("glibc.malloc.hugetlb=0"), std::nullopt);
  EXPECT_EQ(TunablesWithHugePages("glibc.malloc.check=3:glibc.malloc.hugetlb=2"), std::nullopt);
  EXPECT_EQ(TunablesWithHugePages("glibc.malloc.hugetlb=1:glibc.malloc.check=3"), std::nullopt);
}

// Runs the probe with these arguments and GLIBC_TUNABLES (nullopt: not
// set); its "key=value" lines.
std::map<std::string, std::string> Probe(const std::vector<std::string>& args,
                                         const std::optional<std::string>& tunables) {
  testing::TempDir dir;
  const fs::path out = dir / "out.txt";
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    if (entry.rfind("GLIBC_TUNABLES=", 0) != 0 && entry.rfind("TELLURIO_GLIBC_TUNABLES_VORHER=", 0) != 0 &&
        entry.rfind("TELLURIO_PROZESSNAME_VORHER=", 0) != 0 && entry.rfind("HUGE_PAGES_PROBE_RUNS=", 0) != 0)
      env.push_back(entry);
  }
  if (tunables) env.push_back("GLIBC_TUNABLES=" + *tunables);
  std::vector<std::string> argvStrings = {HUGE_PAGES_PROBE};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv, envp;
  for (std::string& a : argvStrings) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, HUGE_PAGES_PROBE, &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  std::map<std::string, std::string> result;
  if (spawned != 0) {
    ADD_FAILURE() << "the probe did not start: " << spawned;
    return result;
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    ADD_FAILURE() << "the probe failed: " << status;
    return result;
  }
  const std::string text = testing::ReadAll(out);
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    const size_t eq = line.find('=');
    if (eq != std::string::npos) result[line.substr(0, eq)] = line.substr(eq + 1);
    at = end + 1;
  }
  return result;
}

// What a run of the probe must show: how often its main began, its
// GLIBC_TUNABLES afterwards, no variable of the restart left, its own name
// in process lists (the kernel keeps 15 bytes of it), and (where
// the C library's own allocator runs and, for "1", the system has huge
// pages) whether its large blocks are advised for huge pages.
void ExpectRun(std::map<std::string, std::string>& r, const std::string& runs, const std::string& now,
               const std::string& advised) {
  EXPECT_EQ(r["runs"], runs);
  EXPECT_EQ(r["now"], now);
  EXPECT_EQ(r["marker"], "0");
  EXPECT_EQ(r["name"], fs::path(HUGE_PAGES_PROBE).filename().string().substr(0, 15));
  if (r["advised"] != "-" && (advised == "0" || fs::exists("/sys/kernel/mm/transparent_hugepage"))) {
    EXPECT_EQ(r["advised"], advised);
  }
}

TEST(HugePages, TheProgramRestartsOnceWithTheTunableAndGivesTheUserHisEnvironmentBack) {
  // Not set before: restarted with it, unset again afterwards.
  auto r = Probe({"--verzeichnis", "/tmp/Meine Depots", "ä $HOME"}, std::nullopt);
  EXPECT_EQ(r["args"], "--verzeichnis|/tmp/Meine Depots|ä $HOME");
  ExpectRun(r, "2", "<unset>", "1");

  // Other tunables of the user: kept, and given back as they were.
  r = Probe({}, std::string("glibc.malloc.check=0"));
  EXPECT_EQ(r["args"], "");
  ExpectRun(r, "2", "glibc.malloc.check=0", "1");

  // The user's own choice against huge pages: no restart, nothing changed.
  r = Probe({"x"}, std::string("glibc.malloc.hugetlb=0"));
  ExpectRun(r, "1", "glibc.malloc.hugetlb=0", "0");
}

}  // namespace
}  // namespace tellurio
