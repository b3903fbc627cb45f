// Stores whose files were cut short, lost or garbled: Open must neither crash
// nor read outside what it read, and must never lose or misname a record that
// is still whole on disk.

#include <gtest/gtest.h>

#include <random>

#include "platform/testing/TempDir.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"

namespace tellurio {
namespace {

using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

const std::vector<int> kWidths = {4, 2, 4, 4, 2, 2};

void WriteSample(const TempDir& dir) {
  RecordStore s;
  ASSERT_TRUE(s.Create(dir / "D", 6, kWidths).ok());
  ASSERT_TRUE(s.Open().ok());
  for (int f = 0; f < 4; ++f) {
    s.AddRecord({"Fond " + std::to_string(f), std::to_string(100 + f), "1,0500", "Euro"});
    for (int d = 1; d <= 3 + f; ++d)
      s.AppendRows(1, {(d < 10 ? "0" : "") + std::to_string(d) + ".03.2001", std::to_string(10 + d) + ",00"}, 1);
    s.AppendRows(4, {"01.03.2001", "12,0000"}, 1);
  }
  ASSERT_TRUE(s.Save().ok());
}

RecordStore OpenStore(const TempDir& dir) {
  RecordStore s;
  EXPECT_TRUE(s.Create(dir / "D", 6, kWidths).ok());
  EXPECT_TRUE(s.Open().ok());
  return s;
}

// A crash between writing the data file and the index file, or a lost index
// file, must not misname records.
TEST(RecordStoreRecovery, KeysAreRebuiltFromTheMasterRowsWhenTheIndexDisagrees) {
  TempDir dir;
  WriteSample(dir);
  const std::string goodIndex = ReadAll(dir / "D.idx");

  std::filesystem::remove(dir / "D.idx");
  {
    RecordStore s = OpenStore(dir);
    EXPECT_TRUE(s.Repaired());
    EXPECT_EQ(s.Keys(), (std::vector<std::string>{"Fond 0", "Fond 1", "Fond 2", "Fond 3"}));
  }
  // An index from before a fifth fund was added, and one with the keys swapped.
  ASSERT_TRUE(WriteListFile(dir / "D.idx", {"Fond 0", "Fond 1", "Fond 2"}).ok());
  EXPECT_EQ(OpenStore(dir).Keys().size(), 4u);
  ASSERT_TRUE(WriteListFile(dir / "D.idx", {"Fond 1", "Fond 0", "Fond 2", "Fond 3"}).ok());
  {
    RecordStore s = OpenStore(dir);
    EXPECT_EQ(s.FindKey("Fond 1"), 1);
    ASSERT_TRUE(s.Save().ok());
  }
  EXPECT_EQ(ReadAll(dir / "D.idx"), goodIndex) << "saving writes the repaired index";
  EXPECT_FALSE(OpenStore(dir).Repaired());
}

TEST(RecordStoreRecovery, ATruncatedDataFileGivesTheWholeRecords) {
  TempDir dir;
  WriteSample(dir);
  const std::string full = ReadAll(dir / "D.dat");
  const std::string index = ReadAll(dir / "D.idx");
  for (size_t cut = 0; cut < full.size(); cut += 3) {
    WriteAll(dir / "D.dat", full.substr(0, cut));
    WriteAll(dir / "D.idx", index);
    RecordStore s = OpenStore(dir);
    ASSERT_LE(s.RecordCount(), 4);
    // Every record that is there has its own name and a whole master row.
    for (int r = 0; r < s.RecordCount(); ++r) {
      EXPECT_EQ(s.Keys()[r], "Fond " + std::to_string(r)) << "cut " << cut;
      EXPECT_EQ(s.Values(0, r).size(), 4u);
      for (int t = 1; t < 6; ++t) EXPECT_EQ(s.Values(t, r).size() % s.RowWidth(t), 0u);
    }
    EXPECT_EQ(s.FindKey("0"), -1);
  }
}

TEST(RecordStoreRecovery, EmptyForeignAndGarbageFilesOpenAsStores) {
  TempDir dir;
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    const size_t len = rng() % 400;
    for (size_t i = 0; i < len; ++i) {
      // Mostly digits and line breaks, so that some headers half-parse.
      const unsigned r = rng() % 10;
      bytes.push_back(r < 4   ? static_cast<char>('0' + rng() % 10)
                      : r < 6 ? '\n'
                      : r < 7 ? '\r'
                              : static_cast<char>(rng()));
    }
    WriteAll(dir / "D.dat", bytes);
    WriteAll(dir / "D.idx", bytes.substr(0, bytes.size() / 2));
    RecordStore s = OpenStore(dir);
    EXPECT_GE(s.RecordCount(), 0);
    EXPECT_EQ(static_cast<int>(s.Keys().size()), std::max(1, s.RecordCount()));
    s.AddRecord({"Neu", "1", "1,0000", "Euro"});
    EXPECT_EQ(s.Keys().back(), "Neu");
  }
  // A data file of another layout is not taken for this one.
  ASSERT_TRUE(WriteListFile(dir / "D.dat", {"2", "4", "5", "2", "6", "0", "0"}).ok());
  RecordStore s = OpenStore(dir);
  EXPECT_EQ(s.RecordCount(), 0);
  EXPECT_EQ(s.SectionCount(), 6);
}

TEST(RecordStoreRecovery, ARecordClaimingMoreLinesThanTheSectionHoldsIsCut) {
  TempDir dir;
  // Section 1 of one record claims 6 values but the section holds 3 lines.
  ASSERT_TRUE(WriteListFile(dir / "D.dat", {"2", "4", "5", "2", "11", "5", "4", "A", "1", "1,0000", "Euro", "3", "6",
                                            "01.01.2001", "1,00"})
                  .ok());
  ASSERT_TRUE(WriteListFile(dir / "D.idx", {"A"}).ok());
  RecordStore s;
  ASSERT_TRUE(s.Create(dir / "D", 2, {4, 2}).ok());
  ASSERT_TRUE(s.Open().ok());
  EXPECT_TRUE(s.Repaired());
  ASSERT_EQ(s.RecordCount(), 1);
  ASSERT_EQ(s.Values(1, 0).size(), 2u);
  EXPECT_EQ(s.Values(1, 0)[0], "01.01.2001");
}

}  // namespace
}  // namespace tellurio
