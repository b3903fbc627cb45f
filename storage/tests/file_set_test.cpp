#include <gtest/gtest.h>

#include "platform/testing/TempDir.h"
#include "storage/Directory.h"
#include "storage/FileSet.h"

namespace tellurio {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteAll;

TEST(FileSet, DepotsAndProvidersComeFromTheFileNames) {
  TempDir dir;
  for (const char* f : {"a.dat", "n_a.dat", "x.pls", "Beta.dat", "b.idx", "c.dat.bak", "alpha.dat"})
    WriteAll(dir / f, "");
  fs::create_directory(dir / "ordner.dat");
  EXPECT_EQ(fileset::ListDataFiles(dir.path(), ".dat"), (std::vector<std::string>{"a", "alpha", "Beta"}));
  EXPECT_EQ(fileset::ListDataFiles(dir.path(), ".pls"), std::vector<std::string>{"x"});

  // A name in another code page is no depot; it is told to the caller.
  WriteAll(dir / "M\xFCller.dat", "");
  WriteAll(dir / "M\xC3\xBCller.dat", "");
  std::vector<std::string> notUtf8;
  EXPECT_EQ(fileset::ListDataFiles(dir.path(), ".dat", &notUtf8),
            (std::vector<std::string>{"a", "alpha", "Beta", "M\xC3\xBCller"}));
  EXPECT_EQ(notUtf8, std::vector<std::string>{"M\xFCller.dat"});
}

TEST(FileSet, PriceDirectoriesAreCreatedLevelByLevel) {
  TempDir dir;
  fs::create_directories(dir / "Fondpreise" / "Deka" / "2003");
  ASSERT_TRUE(fileset::EnsurePriceDirectories(dir.path(), {"Deka", "Neu"}, 2004, "Januar").ok());
  EXPECT_TRUE(fs::is_directory(dir / "Fondpreise" / "Deka" / "2003"));
  EXPECT_TRUE(fs::is_directory(dir / "Fondpreise" / "Deka" / "2004" / "Januar"));
  EXPECT_TRUE(fs::is_directory(dir / "Fondpreise" / "Neu" / "2004" / "Januar"));
  EXPECT_EQ(fileset::PriceMonthDir(dir.path(), "Neu", 2004, "Maerz"), dir / "Fondpreise" / "Neu" / "2004" / "Maerz");
}

// Nothing outside the data directory may ever be deleted, however the name of
// the tree was put together.
TEST(Directory, DeleteTreeOnlyDeletesInsideTheGivenRoot) {
  TempDir dir;
  const fs::path root = dir / "Fondpreise";
  fs::create_directories(root / "P" / "2004" / "Januar");
  WriteAll(root / "P" / "2004" / "Januar" / "01012004.txt", "x");
  fs::create_directories(dir / "fremd");
  WriteAll(dir / "fremd" / "wichtig.txt", "y");
  fs::create_directory_symlink(dir / "fremd", root / "P" / "link");
  fs::create_directory_symlink(dir / "fremd", root / "Verweis");

  EXPECT_EQ(Directory(root / ".." / "fremd").DeleteTree(root).code(), Status::Code::Refused);
  EXPECT_EQ(Directory(root).DeleteTree(root).code(), Status::Code::Refused);
  EXPECT_EQ(Directory(root / "Verweis").DeleteTree(root).code(), Status::Code::Refused);
  EXPECT_EQ(Directory(root, "../fremd").DeleteTree(root).code(), Status::Code::Refused);

  ASSERT_TRUE(Directory(root, "P").DeleteTree(root).ok());
  EXPECT_FALSE(fs::exists(root / "P"));
  EXPECT_TRUE(fs::exists(dir / "fremd" / "wichtig.txt")) << "a link inside the tree is not followed";
  EXPECT_TRUE(Directory(root, "P").DeleteTree(root).ok()) << "a missing tree is no error";
}

TEST(Directory, MoveToRenamesBesideItself) {
  TempDir dir;
  fs::create_directory(dir / "Vater");
  WriteAll(dir / "Vater" / "a.dat", "x");
  Directory d(dir / "Vater");
  EXPECT_EQ(d.MoveTo("Sohn", false), dir / "Sohn");
  EXPECT_TRUE(fs::exists(dir / "Sohn" / "a.dat"));
  EXPECT_EQ(d.Path(), dir / "Sohn");
  EXPECT_TRUE(d.MoveTo((dir / "fehlt" / "x").string(), true).empty());
  EXPECT_EQ(d.Path(), dir / "Sohn");
  EXPECT_TRUE(d.CreateDirectory().ok());
}

}  // namespace
}  // namespace tellurio
