// The lock of a data directory between processes: a second program is
// refused while the first runs, and the directory is free again as soon as
// the first is killed.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/DirectoryLock.h"
#include "platform/testing/TempDir.h"

namespace tellurio {
namespace {

namespace fs = std::filesystem;

// A child process that takes the lock, says so through a pipe and then
// waits to be killed.
pid_t HoldLockInChild(const fs::path& dir) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ready[0]);
    DirectoryLock lock(dir);
    const char answer = lock.state() == DirectoryLock::State::Held ? 'j' : 'n';
    (void)!::write(ready[1], &answer, 1);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char answer = 0;
  const bool held = ::read(ready[0], &answer, 1) == 1 && answer == 'j';
  ::close(ready[0]);
  if (!held && child > 0) {
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return -1;
  }
  return child;
}

TEST(DirectoryLock, ASecondProgramIsRefusedUntilTheFirstIsKilled) {
  testing::TempDir dir;
  const pid_t first = HoldLockInChild(dir.path());
  ASSERT_GT(first, 0);
  {
    DirectoryLock second(dir.path());
    EXPECT_EQ(second.state(), DirectoryLock::State::Busy);
    EXPECT_FALSE(second.ok());
    EXPECT_EQ(second.Message(), "Tellurio läuft bereits mit diesem Datenverzeichnis.");
  }
  // Killed: no chance to clean up; the kernel releases the lock.
  ASSERT_EQ(::kill(first, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(first, &status, 0), first);
  ASSERT_TRUE(WIFSIGNALED(status));
  DirectoryLock third(dir.path());
  EXPECT_EQ(third.state(), DirectoryLock::State::Held);
  EXPECT_TRUE(third.ok());
  // Another directory is not affected by this one.
  testing::TempDir other;
  EXPECT_EQ(DirectoryLock(other.path()).state(), DirectoryLock::State::Held);
}

TEST(DirectoryLock, ALockFileThatIsASymbolicLinkIsNotFollowed) {
  testing::TempDir dir;
  testing::TempDir elsewhere;
  fs::create_symlink(elsewhere.path() / "ziel", dir.path() / DirectoryLock::kFileName);
  DirectoryLock lock(dir.path());
  EXPECT_EQ(lock.state(), DirectoryLock::State::Unavailable);
  EXPECT_NE(lock.Message().find(DirectoryLock::kFileName), std::string::npos) << lock.Message();
  EXPECT_FALSE(fs::exists(elsewhere.path() / "ziel"));
}

}  // namespace
}  // namespace tellurio
