#include <gtest/gtest.h>

#include <random>

#include "platform/testing/TempDir.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"

namespace tellurio {
namespace {

using testing::ReadAll;
using testing::TempDir;

std::vector<std::string> DecodedFile(const std::filesystem::path& p) {
  std::vector<std::string> lines;
  EXPECT_TRUE(ReadListFile(p, lines).ok()) << p;
  return lines;
}

RecordStore NewStore(const TempDir& dir, const std::string& name, std::vector<int> widths) {
  RecordStore s;
  EXPECT_TRUE(s.Create(dir / name, static_cast<int>(widths.size()), widths).ok());
  EXPECT_TRUE(s.Open().ok());
  return s;
}

TEST(RecordStore, NewStoreHasTheEmptyLayout) {
  TempDir dir;
  RecordStore s = NewStore(dir, "Depot", {4, 2});
  EXPECT_EQ(DecodedFile(dir / "Depot.dat"), (std::vector<std::string>{"2", "4", "5", "2", "6", "0", "0"}));
  EXPECT_EQ(DecodedFile(dir / "Depot.idx"), std::vector<std::string>{"0"});
  EXPECT_EQ(s.RecordCount(), 0);
  std::vector<std::string> keys = {"x"};
  s.GetKeys(0, 0, keys);
  EXPECT_TRUE(keys.empty());
  EXPECT_EQ(s.FindKey("0"), -1) << "the placeholder is no record";
  EXPECT_FALSE(s.Repaired());
}

TEST(RecordStore, CreateLeavesAnExistingStoreAlone) {
  TempDir dir;
  {
    RecordStore s = NewStore(dir, "D", {4, 2});
    s.AddRecord({"Fond A", "111", "1,0500", "Euro"});
    ASSERT_TRUE(s.Save().ok());
  }
  const std::string before = ReadAll(dir / "D.dat");
  RecordStore again = NewStore(dir, "D", {4, 2});
  EXPECT_EQ(ReadAll(dir / "D.dat"), before);
  EXPECT_EQ(again.RecordCount(), 1);
}

TEST(RecordStore, RecordsRowsAndLineNumbersSurviveSaveAndOpen) {
  TempDir dir;
  {
    RecordStore s = NewStore(dir, "D", {4, 2, 4, 4, 2, 2});
    s.AddRecord({"Fond A", "111", "1,0500", "Euro"});
    s.AppendRows(1, {"01.03.2001", "10,00", "02.03.2001", "10,50"}, 2);
    s.AddRecord({"Fond B", "222", "1,0000", "DM"});
    s.AppendRows(1, {"01.03.2001", "20,00"}, 1);
    s.AppendRows(2, {"01.03.2001", "21,00", "4,7619", "100,00"}, 1);
    ASSERT_TRUE(s.Save().ok());
  }
  RecordStore s = NewStore(dir, "D", {4, 2, 4, 4, 2, 2});
  ASSERT_EQ(s.RecordCount(), 2);
  EXPECT_EQ(s.Keys(), (std::vector<std::string>{"Fond A", "Fond B"}));
  EXPECT_EQ(s.RecordLine(1, "Fond A"), 0);
  EXPECT_EQ(s.RecordLine(1, "Fond B"), 5);  // count line and four values of Fond A before it
  EXPECT_EQ(s.SelectedRecordLine("Fond B"), 5);
  EXPECT_EQ(s.RecordLine(1, "fond b"), -1) << "keys are case-sensitive";

  std::string key;
  std::vector<std::string> rows;
  EXPECT_EQ(s.ReadRows(key, 1, -1, 0, rows), "Fond A");
  EXPECT_EQ(rows, (std::vector<std::string>{"01.03.2001", "10,00", "02.03.2001", "10,50"}));
  EXPECT_EQ(s.ReadRows(key, 1, 0, 0, rows), "Fond A");
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(s.ReadRows(key, 1, 3, 0, rows), kRecordNotFound);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(key, kRecordNotFound);
  EXPECT_EQ(s.ReadRows(key, 1, -1, -1, rows), kRecordNotFound);
  EXPECT_EQ(s.ReadRows(key, 1, -1, 2, rows), kRecordNotFound) << "2 is no record start";
  EXPECT_EQ(s.ReadRows(key, 2, -1, s.RecordLine(2, "Fond B"), rows), "Fond B");
  EXPECT_EQ(rows.size(), 4u);
}

TEST(RecordStore, SectionStartsFollowEachOther) {
  TempDir dir;
  RecordStore s = NewStore(dir, "D", {4, 2, 4});
  for (int f = 0; f < 5; ++f) {
    s.AddRecord({"F" + std::to_string(f), std::to_string(f), "1,0000", "Euro"});
    for (int r = 0; r < f; ++r) s.AppendRows(1, {"01.01.2000", std::to_string(r)}, 1);
  }
  ASSERT_TRUE(s.Save().ok());
  const std::vector<std::string> L = DecodedFile(dir / "D.dat");
  ASSERT_EQ(L[0], "3");
  for (int t = 0; t + 1 < 3; ++t) {
    const int start = std::stoi(L[2 + 2 * t]);
    const int next = std::stoi(L[2 + 2 * (t + 1)]);
    EXPECT_EQ(next, start + std::stoi(L[start]) + 1);
  }
  EXPECT_EQ(std::stoi(L[2]), 7);
}

TEST(RecordStore, AppendOnAnEarlierRecordMovesTheLaterOnes) {
  TempDir dir;
  RecordStore s = NewStore(dir, "D", {4, 2});
  s.AddRecord({"A", "1", "1,0000", "Euro"});
  s.AddRecord({"B", "2", "1,0000", "Euro"});
  s.AppendRows(1, {"01.01.2001", "5,00"}, 1);
  ASSERT_EQ(s.RecordLine(1, "B"), 1);
  ASSERT_EQ(s.Select("A"), 1);
  s.AppendRows(1, {"02.01.2001", "6,00", "03.01.2001", "7,00"}, 2);
  EXPECT_EQ(s.RecordLine(1, "B"), 5);
  std::string key;
  std::vector<std::string> rows;
  s.ReadRows(key, 1, -1, 5, rows);
  EXPECT_EQ(rows, (std::vector<std::string>{"01.01.2001", "5,00"}));
  EXPECT_EQ(s.Current(1), (std::vector<std::string>{"4", "02.01.2001", "6,00", "03.01.2001", "7,00"}));
}

TEST(RecordStore, UpdateAndDeleteRowsMatchOnAField) {
  TempDir dir;
  RecordStore s = NewStore(dir, "D", {4, 2});
  s.AddRecord({"A", "1", "1,0000", "Euro"});
  s.AppendRows(1, {"01.01.2001", "5,00", "02.01.2001", "5,00", "03.01.2001", "6,00"}, 3);
  s.UpdateRow(1, {"02.01.2001", "9,99"}, "02.01.2001", 0);
  s.UpdateRow(1, {"x", "y"}, "04.01.2001", 0);  // no match: nothing changes
  s.DeleteRow(1, "5,00", 1);                    // the first row whose price is 5,00
  EXPECT_EQ(s.Current(1), (std::vector<std::string>{"4", "02.01.2001", "9,99", "03.01.2001", "6,00"}));
  s.UpdateRow(0, {"A", "777", "1,0500", "DM"}, "A", 0);
  EXPECT_EQ(s.Current(0), (std::vector<std::string>{"4", "A", "777", "1,0500", "DM"}));
  s.ReplaceRows(1, {"05.01.2001", "1,00"});
  ASSERT_TRUE(s.Save().ok());
  RecordStore again = NewStore(dir, "D", {4, 2});
  std::string key;
  std::vector<std::string> rows;
  again.ReadRows(key, 1, -1, again.RecordLine(1, "A"), rows);
  EXPECT_EQ(rows, (std::vector<std::string>{"05.01.2001", "1,00"}));
}

TEST(RecordStore, DeletingTheOnlyRecordRestoresTheEmptyLayout) {
  TempDir dir;
  RecordStore s = NewStore(dir, "D", {4, 2});
  s.AddRecord({"A", "1", "1,0000", "Euro"});
  s.AppendRows(1, {"01.01.2001", "5,00"}, 1);
  ASSERT_TRUE(s.Save().ok());
  EXPECT_EQ(s.DeleteRecord("nicht da"), 0);
  EXPECT_EQ(s.DeleteRecord("A"), 1);
  EXPECT_EQ(DecodedFile(dir / "D.dat"), (std::vector<std::string>{"2", "4", "5", "2", "6", "0", "0"}));
  EXPECT_EQ(DecodedFile(dir / "D.idx"), std::vector<std::string>{"0"});
  EXPECT_TRUE(s.Current(0).empty());
  s.AddRecord({"B", "2", "1,0000", "Euro"});
  EXPECT_EQ(s.Keys(), std::vector<std::string>{"B"});
}

TEST(RecordStore, DeletingAnotherRecordKeepsTheCurrentOne) {
  TempDir dir;
  RecordStore s = NewStore(dir, "D", {4, 2});
  for (const char* k : {"A", "B", "C"}) s.AddRecord({k, "1", "1,0000", "Euro"});
  s.Select("C");
  EXPECT_EQ(s.DeleteRecord("A"), 1);  // written at once
  EXPECT_EQ(s.Current(0)[1], "C");
  s.AppendRows(1, {"01.01.2001", "1,00"}, 1);
  EXPECT_EQ(s.RecordLine(1, "C"), 1);
  RecordStore again = NewStore(dir, "D", {4, 2});
  EXPECT_EQ(again.Keys(), (std::vector<std::string>{"B", "C"}));
  s.DeleteRecord("C");
  EXPECT_EQ(s.Current(0)[1], "B") << "deleting the current record selects the first";
}

TEST(RecordStore, DuplicateKeysActOnTheFirst) {
  TempDir dir;
  RecordStore s = NewStore(dir, "D", {4, 2});
  s.AddRecord({"A", "1", "1,0000", "Euro"});
  s.AddRecord({"A", "2", "1,0000", "Euro"});
  EXPECT_EQ(s.RecordCount(), 2);
  EXPECT_EQ(s.FindKey("A"), 0);
  EXPECT_EQ(s.Current(0)[2], "1") << "AddRecord selects by key, which finds the first";
  s.DeleteRecord("A");
  EXPECT_EQ(s.Keys(), std::vector<std::string>{"A"});
  std::string key;
  std::vector<std::string> rows;
  s.ReadRows(key, 0, -1, 0, rows);
  EXPECT_EQ(rows[1], "2");
}

// A first record whose key is "0" is a record, not the empty store's
// placeholder: the next record must get a key of its own.
TEST(RecordStore, AFirstKeyOfZeroIsNotOverwritten) {
  TempDir dir;
  RecordStore s = NewStore(dir, "D", {4, 2});
  s.AddRecord({"0", "1", "1,0000", "Euro"});
  s.AddRecord({"Fond", "2", "1,0000", "Euro"});
  EXPECT_EQ(s.Keys(), (std::vector<std::string>{"0", "Fond"}));
  ASSERT_TRUE(s.Save().ok());
  RecordStore again = NewStore(dir, "D", {4, 2});
  EXPECT_EQ(again.Keys(), (std::vector<std::string>{"0", "Fond"}));
  EXPECT_FALSE(again.Repaired());
}

TEST(RecordStore, AnUnstorableFirstKeyRefusesTheSaveAndWritesNothing) {
  TempDir dir;
  RecordStore s = NewStore(dir, "D", {4, 2});
  const std::string before = ReadAll(dir / "D.dat");
  s.AddRecord({"%Fond", "1", "1,0000", "Euro"});
  Status st = s.Save();
  EXPECT_EQ(st.code(), Status::Code::Unrepresentable);
  EXPECT_EQ(ReadAll(dir / "D.dat"), before);
  EXPECT_EQ(DecodedFile(dir / "D.idx"), std::vector<std::string>{"0"});
}

// In a two-section store the code of the digit 7 is a blank, so a section
// of exactly 7 lines (one fund with three prices) is written with the count
// " ".  Reading it as 0 would lose the prices.
TEST(RecordStore, ASectionOfSevenLinesSurvivesInAnArchiveStore) {
  TempDir dir;
  {
    RecordStore s = NewStore(dir, "n_D", {4, 2});
    s.AddRecord({"Fond", "1", "1,0000", "Euro"});
    s.AppendRows(1, {"01.01.2001", "1,00", "02.01.2001", "2,00", "03.01.2001", "3,00"}, 3);
    ASSERT_TRUE(s.Save().ok());
  }
  EXPECT_EQ(DecodedFile(dir / "n_D.dat")[11], " ") << "the file format itself is unchanged";
  RecordStore s = NewStore(dir, "n_D", {4, 2});
  ASSERT_EQ(s.RecordCount(), 1);
  ASSERT_EQ(s.Values(1, 0).size(), 6u);
  EXPECT_EQ(s.Values(1, 0)[5], "3,00");
}

TEST(RecordStore, TextsKeepTheirUmlautsOnDisk) {
  TempDir dir;
  {
    RecordStore s = NewStore(dir, "Müller", {4, 2});
    s.AddRecord({"Öko-Fonds Größe", "1", "1,0000", "Währung"});
    ASSERT_TRUE(s.Save().ok());
  }
  RecordStore s = NewStore(dir, "Müller", {4, 2});
  EXPECT_EQ(s.Keys(), std::vector<std::string>{"Öko-Fonds Größe"});
  EXPECT_EQ(s.Values(0, 0)[3], "Währung");
}

// ---------------------------------------------------------------------------
// A literal model of the store: all lines of a section in one list, offsets
// rebuilt by a pass over the lines after every edit, "current" as a copy.  The
// real store must give the same files and answers for any sequence of
// operations.

struct ModelStore {
  struct Sec {
    std::vector<std::string> lines;
    std::vector<int> offsets;
    std::vector<std::string> current;
    int rowWidth;
  };
  std::vector<Sec> sec;
  std::vector<std::string> keys{"0"};
  int recordCount = 0;
  bool cleared = false;

  explicit ModelStore(const std::vector<int>& w) {
    for (int x : w) sec.push_back(Sec{{}, {}, std::vector<std::string>(x), x});
  }
  static int Num(const std::string& s) { return s.empty() ? 0 : std::stoi(s); }
  void Rebuild(Sec& s) {
    s.offsets.assign(recordCount, 0);
    int p = 0;
    for (int r = 0; r < recordCount; ++r) {
      s.offsets[r] = p;
      p += Num(s.lines[p]) + 1;
    }
  }
  int FindKey(const std::string& k) const {
    for (int i = 0; i < recordCount && i < static_cast<int>(keys.size()); ++i)
      if (keys[i] == k) return i;
    return -1;
  }
  std::string CurKey() const { return sec[0].current.size() > 1 ? sec[0].current[1] : ""; }
  int Select(const std::string& k) {
    int r = FindKey(k);
    if (r < 0) return 0;
    cleared = false;
    for (Sec& s : sec) {
      int o = s.offsets[r], m = Num(s.lines[o]);
      s.current.assign(s.lines.begin() + o, s.lines.begin() + o + m + 1);
    }
    return 1;
  }
  void AddRecord(const std::vector<std::string>& v) {
    bool wasEmpty = recordCount == 0;
    for (size_t t = 0; t < sec.size(); ++t) {
      Sec& s = sec[t];
      if (t == 0) {
        s.lines.push_back(std::to_string(s.rowWidth));
        for (int j = 0; j < s.rowWidth; ++j) s.lines.push_back(v[j]);
      } else {
        s.lines.push_back("0");
      }
    }
    ++recordCount;
    for (Sec& s : sec) Rebuild(s);
    if (wasEmpty && keys[0] == "0")
      keys[0] = v[0];
    else
      keys.push_back(v[0]);
    Select(keys.back());
  }
  void AppendRows(int t, const std::vector<std::string>& v, int rows) {
    int r = FindKey(CurKey());
    if (r < 0) return;
    Sec& s = sec[t];
    int p = r + 1 < recordCount ? s.offsets[r + 1] : static_cast<int>(s.lines.size());
    s.lines.insert(s.lines.begin() + p, v.begin(), v.begin() + rows * s.rowWidth);
    s.lines[s.offsets[r]] = std::to_string(Num(s.lines[s.offsets[r]]) + rows * s.rowWidth);
    Rebuild(s);
    Select(CurKey());
  }
  int FindRow(int t, const std::string& match, int field) {
    Sec& s = sec[t];
    int m = static_cast<int>(s.current.size()) - 1;
    for (int k = 0; k * s.rowWidth < m; ++k)
      if (s.current[k * s.rowWidth + field + 1] == match) return k;
    return -1;
  }
  void UpdateRow(int t, const std::vector<std::string>& v, const std::string& match, int field) {
    int r = FindKey(CurKey());
    if (r < 0) return;
    int k = FindRow(t, match, field);
    if (k < 0) return;
    Sec& s = sec[t];
    for (int j = 0; j < s.rowWidth; ++j) s.lines[s.offsets[r] + k * s.rowWidth + 1 + j] = v[j];
    Rebuild(s);
    Select(CurKey());
  }
  void DeleteRow(int t, const std::string& match, int field) {
    int r = FindKey(CurKey());
    if (r < 0) return;
    int k = FindRow(t, match, field);
    if (k < 0) return;
    Sec& s = sec[t];
    auto at = s.lines.begin() + s.offsets[r] + k * s.rowWidth + 1;
    s.lines.erase(at, at + s.rowWidth);
    s.lines[s.offsets[r]] = std::to_string(Num(s.lines[s.offsets[r]]) - s.rowWidth);
    Rebuild(s);
    Select(CurKey());
  }
  int DeleteRecord(const std::string& key) {
    int r = FindKey(key);
    if (r < 0) return 0;
    bool wasCurrent = key == CurKey();
    std::string prev = CurKey();
    keys.erase(keys.begin() + r);
    for (Sec& s : sec) {
      int o = s.offsets[r], m = Num(s.lines[o]);
      s.lines.erase(s.lines.begin() + o, s.lines.begin() + o + m + 1);
    }
    --recordCount;
    for (Sec& s : sec) Rebuild(s);
    if (keys.empty()) keys = {"0"};
    if (wasCurrent) {
      if (recordCount == 0) {
        cleared = true;
        for (Sec& s : sec) s.current.clear();
      } else {
        Select(keys[0]);
      }
    } else {
      Select(prev);
    }
    return 1;
  }
  std::vector<std::string> File() const {
    int T = static_cast<int>(sec.size());
    std::vector<std::string> L{std::to_string(T)};
    int acc = 0;
    for (const Sec& s : sec) {
      L.push_back(std::to_string(s.rowWidth));
      L.push_back(std::to_string(acc + 2 * T + 1));
      acc += static_cast<int>(s.lines.size()) + 1;
    }
    for (const Sec& s : sec) {
      L.push_back(std::to_string(s.lines.size()));
      L.insert(L.end(), s.lines.begin(), s.lines.end());
    }
    return L;
  }
  void ReopenState() {
    for (Sec& s : sec) s.current.assign(s.rowWidth, "");
    cleared = false;
  }
};

TEST(RecordStore, BehavesLikeTheLiteralModelUnderRandomEdits) {
  const std::vector<int> widths = {4, 2, 4, 2};
  for (int seed = 0; seed < 25; ++seed) {
    TempDir dir;
    std::mt19937 rng(static_cast<unsigned>(seed));
    RecordStore real = NewStore(dir, "D", widths);
    ModelStore model(widths);
    const std::vector<std::string> names = {"A", "B", "C", "D", "E", "F"};
    auto value = [&] { return std::to_string(rng() % 5); };
    for (int step = 0; step < 300; ++step) {
      const int op = static_cast<int>(rng() % 9);
      const std::string key = names[rng() % names.size()];
      const int t = 1 + static_cast<int>(rng() % 3);
      const int w = widths[t];
      if (op == 0) {
        std::vector<std::string> v = {key, value(), value(), value()};
        real.AddRecord(v);
        model.AddRecord(v);
      } else if (op == 1) {
        EXPECT_EQ(real.Select(key), model.Select(key));
      } else if (op == 2 || op == 3) {
        const int rows = 1 + static_cast<int>(rng() % 3);
        std::vector<std::string> v;
        for (int i = 0; i < rows * w; ++i) v.push_back(value());
        real.AppendRows(t, v, rows);
        model.AppendRows(t, v, rows);
      } else if (op == 4) {
        std::vector<std::string> v;
        for (int i = 0; i < w; ++i) v.push_back(value());
        const std::string match = value();
        const int field = static_cast<int>(rng() % w);
        real.UpdateRow(t, v, match, field);
        model.UpdateRow(t, v, match, field);
      } else if (op == 5) {
        const std::string match = value();
        const int field = static_cast<int>(rng() % w);
        real.DeleteRow(t, match, field);
        model.DeleteRow(t, match, field);
      } else if (op == 6 && rng() % 3 == 0) {
        EXPECT_EQ(real.DeleteRecord(key), model.DeleteRecord(key));
      } else if (op == 7) {
        for (int s = 0; s < 4; ++s) {
          EXPECT_EQ(real.RecordLine(s, key), model.FindKey(key) < 0 ? -1 : model.sec[s].offsets[model.FindKey(key)]);
        }
      } else if (op == 8 && rng() % 4 == 0) {
        ASSERT_TRUE(real.Save().ok());
        ASSERT_TRUE(real.Create(dir / "D", 4, widths).ok());
        ASSERT_TRUE(real.Open().ok());
        EXPECT_FALSE(real.Repaired());
        model.ReopenState();
      }
      for (int s = 0; s < 4; ++s)
        ASSERT_EQ(real.Current(s), model.sec[s].current) << "seed " << seed << " step " << step;
      ASSERT_EQ(real.Keys(), model.keys) << "seed " << seed << " step " << step;
    }
    ASSERT_TRUE(real.Save().ok());
    std::string expected;
    ASSERT_TRUE(EncodeListBytes(model.File(), model.File().size(), expected));
    EXPECT_EQ(ReadAll(dir / "D.dat"), expected) << "seed " << seed;
    EXPECT_EQ(DecodedFile(dir / "D.idx"), model.keys);
  }
}

}  // namespace
}  // namespace tellurio
