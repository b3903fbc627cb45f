// Copying one file: the block sizes, what a copy keeps, and what a failed
// copy leaves behind.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "installer/FileCopy.h"
#include "platform/testing/TempDir.h"

namespace tellurio {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

TEST(CopyBlocks, HundredBytesInOneBlockLongerFilesInHundredAndTheRest) {
  EXPECT_EQ(CopyBlocks(0), std::vector<std::uint64_t>{0});
  EXPECT_EQ(CopyBlocks(100), std::vector<std::uint64_t>{100});
  // 1005 bytes: 100 blocks of 1005 / 100 = 10 bytes, then 1005 % 100 = 5.
  std::vector<std::uint64_t> expected(100, 10);
  expected.push_back(5);
  EXPECT_EQ(CopyBlocks(1005), expected);
  EXPECT_EQ(CopyBlocks(1000), std::vector<std::uint64_t>(100, 10));
  EXPECT_EQ(CopyBlocks(101).size(), 101u);  // 100 blocks of 1 and one of 1
}

TEST(CopyFileChecked, CopiesBytesAndModeWithOneReportPerBlock) {
  TempDir dir;
  std::string bytes;
  for (int i = 0; i < 1005; ++i) bytes += static_cast<char>(i * 7);
  WriteAll(dir / "prog", bytes);
  ::chmod((dir / "prog").c_str(), 0751);
  std::vector<size_t> reports;
  EXPECT_EQ(CopyFileChecked(dir / "prog", dir / "copy",
                            [&](size_t i, size_t n) {
                              EXPECT_EQ(n, 101u);
                              reports.push_back(i);
                            }),
            "");
  EXPECT_EQ(reports.size(), 101u);
  EXPECT_EQ(reports.back(), 100u);
  EXPECT_EQ(ReadAll(dir / "copy"), bytes);
  struct stat st {};
  ASSERT_EQ(::stat((dir / "copy").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0751u);
  EXPECT_TRUE(SameContent(dir / "prog", dir / "copy"));
}

TEST(CopyFileChecked, AFailedCopyKeepsSourceAndTargetAndLeavesNoTemporaryFile) {
  TempDir dir;
  WriteAll(dir / "a", "neu");
  fs::create_directory(dir / "out");
  fs::create_directory(dir / "out" / "a");  // a directory where the copy should go
  const std::string problem = CopyFileChecked(dir / "a", dir / "out" / "a");
  EXPECT_NE(problem.find("Die Datei " + (dir / "a").string() + " konnte nicht nach"), std::string::npos) << problem;
  EXPECT_EQ(ReadAll(dir / "a"), "neu");
  EXPECT_TRUE(fs::is_directory(dir / "out" / "a"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 1);

  // A missing source and a symbolic link as source are refused.
  EXPECT_NE(CopyFileChecked(dir / "missing", dir / "b"), "");
  fs::create_symlink(dir / "a", dir / "link");
  EXPECT_NE(CopyFileChecked(dir / "link", dir / "b"), "");
  EXPECT_FALSE(fs::exists(dir / "b"));
}

TEST(CopyFileChecked, ReplacesAnExistingTargetAndDifferentFilesDiffer) {
  TempDir dir;
  WriteAll(dir / "a", "neue Fassung");
  WriteAll(dir / "b", "alt");
  EXPECT_FALSE(SameContent(dir / "a", dir / "b"));
  EXPECT_EQ(CopyFileChecked(dir / "a", dir / "b"), "");
  EXPECT_EQ(ReadAll(dir / "b"), "neue Fassung");
  EXPECT_FALSE(SameContent(dir / "a", dir / "missing"));
}

}  // namespace
}  // namespace tellurio
