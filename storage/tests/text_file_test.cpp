#include <gtest/gtest.h>

#include "platform/testing/TempDir.h"
#include "storage/CTextFile.h"

namespace tellurio {
namespace {

using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

TEST(CTextFile, CountsLinesLikeTheFileHoldsThem) {
  TempDir dir;
  WriteAll(dir / "a.txt", "eins\r\nzwei\r\ndrei");  // last line without line break
  CTextFile f;
  ASSERT_EQ(f.Open(dir / "a.txt", CTextFile::modeRead), 0);
  EXPECT_EQ(f.GetLength(), 3);
  std::vector<std::string> out;
  EXPECT_EQ(f.ReadLines(out, 2), 2);
  EXPECT_EQ(out, (std::vector<std::string>{"eins", "zwei"}));
  f.ReadLines(out, 2);
  EXPECT_EQ(out, (std::vector<std::string>{"drei", ""})) << "reads past the end give empty lines";
  EXPECT_EQ(f.Position(), 4);

  WriteAll(dir / "leer.txt", "");
  ASSERT_EQ(f.Open(dir / "leer.txt", CTextFile::modeRead), 0);
  EXPECT_EQ(f.GetLength(), 0);
}

TEST(CTextFile, SeekStaysInsideTheLines) {
  TempDir dir;
  WriteAll(dir / "a.txt", "1\r\n2\r\n3\r\n");
  CTextFile f(dir / "a.txt", CTextFile::modeRead);
  EXPECT_EQ(f.Seek(0, 2), 3);
  EXPECT_EQ(f.Seek(4, 0), -1);
  EXPECT_EQ(f.Position(), 3) << "a refused seek keeps the position";
  EXPECT_EQ(f.Seek(-2, 1), 1);
  EXPECT_EQ(f.Seek(-2, 1), -1);
  EXPECT_EQ(f.Seek(3, 2), 0);
  EXPECT_EQ(f.Seek(1, 7), 0);
  EXPECT_EQ(f.Position(), 0);
  std::vector<std::string> out;
  f.Seek(1, 0);
  f.ReadLines(out, 1);
  EXPECT_EQ(out[0], "2");
}

TEST(CTextFile, WritingAlwaysAppendsWithLineBreaks) {
  TempDir dir;
  CTextFile f;
  ASSERT_EQ(f.Open(dir / "n.txt", CTextFile::modeCreate | CTextFile::modeWrite), 0);
  ASSERT_TRUE(f.WriteLines({"a", "b"}, 2));
  f.Seek(0, 0);
  ASSERT_TRUE(f.WriteLines({"c"}, 1));  // after the existing lines, not over them
  EXPECT_EQ(ReadAll(dir / "n.txt"), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(f.GetLength(), 2) << "length grows to position + n";
  f.Close();
  EXPECT_EQ(f.GetLength(), 0);
}

TEST(CTextFile, ByteTwentySixIsData) {
  TempDir dir;
  WriteAll(dir / "b.txt", std::string("\x1a"
                                      "abc\r\nz",
                                      7));
  CTextFile f(dir / "b.txt", CTextFile::modeRead);
  EXPECT_EQ(f.GetLength(), 2);
  std::vector<std::string> out;
  f.ReadLines(out, 1);
  EXPECT_EQ(out[0],
            "\x1a"
            "abc");
}

TEST(CTextFile, OpeningAMissingFile) {
  TempDir dir;
  CTextFile f;
  EXPECT_EQ(f.Open(dir / "fehlt.txt", CTextFile::modeRead), -1);
  EXPECT_THROW(CTextFile(dir / "fehlt.txt", CTextFile::modeRead), FileException);
}

// The lines are counted without being made: as many as splitting finds.
TEST(CTextFile, CountingLinesAgreesWithSplittingThem) {
  for (const char* bytes : {"", "a", "a\n", "a\r\n", "\n", "\n\n", "a\nb", "a\r\nb\r\n", "\r", "a\r\r\n\r"})
    EXPECT_EQ(CountLines(bytes), SplitLines(bytes).size()) << bytes;
}

}  // namespace
}  // namespace tellurio
