// Starting a program without a shell: arguments arrive as given, in the
// working directory given, and a missing program is reported.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/Process.h"
#include "platform/testing/TempDir.h"
#include "platform/testing/WaitForFile.h"

namespace tellurio {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

TEST(SpawnedProcess, RunsWithTheArgumentsUnsplitInTheWorkingDirectory) {
  TempDir dir;
  SpawnedProcess process;
  // A shell would split "a b" and expand "$HOME"; printf gets them as they are.
  ASSERT_EQ(
      process.Start("/bin/sh", {"-c", "printf '%s|' \"$0\" \"$1\" > out.txt; mv out.txt done.txt", "a b", "$HOME"},
                    dir.path()),
      0);
  // Not waited for: the file appears once the program has run.
  ASSERT_TRUE(testing::WaitForFile(dir / "done.txt", std::chrono::seconds(30)));
  EXPECT_EQ(ReadAll(dir / "done.txt"), "a b|$HOME|");
}

TEST(SpawnedProcess, AMissingProgramOrDirectoryIsReported) {
  TempDir dir;
  SpawnedProcess process;
  EXPECT_EQ(process.Start("regsvr32.exe", {"/u", "/s", "x.ocx"}, dir.path()), ENOENT);
  EXPECT_EQ(process.Start((dir / "nothing").string(), {}, dir.path()), ENOENT);
  EXPECT_NE(process.Start("/bin/true", {}, dir / "missing"), 0);
}

}  // namespace
}  // namespace tellurio
