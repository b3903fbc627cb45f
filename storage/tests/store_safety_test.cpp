// Files that are not what they should be: pipes, devices, huge files, files
// that cannot be read, damaged stores, failing renames and what interrupted
// saves leave behind.  Whatever happens, nothing that was on disk is lost.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <future>
#include <set>

#include <gtest/gtest.h>

#include "platform/testing/TempDir.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"

namespace tellurio {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;
using Rows = std::vector<std::string>;

const std::vector<int> kWidths = {4, 2, 4, 4, 2, 2};

// A depot store of five funds with a few prices each; returns its base path.
fs::path WriteFiveFunds(const TempDir& dir, const std::string& name = "D") {
  RecordStore s;
  EXPECT_TRUE(s.Create(dir / name, 6, kWidths).ok());
  EXPECT_TRUE(s.Open().ok());
  for (int f = 0; f < 5; ++f) {
    s.AddRecord({"Fond " + std::to_string(f), std::to_string(847000 + f), "1,0500", "Euro"});
    s.AppendRows(1, {"03.03.2003", std::to_string(10 + f) + ",00", "04.03.2003", std::to_string(11 + f) + ",00"}, 2);
    s.AppendRows(4, {"01.03.2003", "12,0000"}, 1);
  }
  EXPECT_TRUE(s.Save().ok());
  return dir / name;
}

RecordStore Bind(const fs::path& base) {
  RecordStore s;
  EXPECT_TRUE(s.Create(base, 6, kWidths).ok());
  return s;
}

// Runs fn on another thread and waits up to ten seconds.  A call that blocks
// on the pipe is released by opening the pipe for writing (so the test fails
// instead of hanging).
bool FinishesWithoutBlocking(const std::function<void()>& fn, const fs::path& pipe) {
  std::future<void> done = std::async(std::launch::async, fn);
  if (done.wait_for(std::chrono::seconds(10)) == std::future_status::ready) return true;
  const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
  if (fd >= 0) ::close(fd);
  done.wait();
  return false;
}

TEST(StoreSafety, APipeIsNeitherWaitedOnNorOverwritten) {
  TempDir dir;
  const fs::path base = WriteFiveFunds(dir);
  fs::remove(dir / "D.dat");
  ASSERT_EQ(::mkfifo((dir / "D.dat").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((dir / "p.pls").c_str(), 0600), 0);

  RecordStore s = Bind(base);
  Status opened;
  ASSERT_TRUE(FinishesWithoutBlocking([&] { opened = s.Open(); }, dir / "D.dat"));
  EXPECT_EQ(opened.code(), Status::Code::NotRegular);
  EXPECT_TRUE(s.ReadOnly());
  EXPECT_EQ(s.RecordCount(), 0);

  Rows lines;
  Status listed;
  ASSERT_TRUE(FinishesWithoutBlocking([&] { listed = ReadListFile(dir / "p.pls", lines); }, dir / "p.pls"));
  EXPECT_EQ(listed.code(), Status::Code::NotRegular);

  // Nothing replaces the pipe: it may stand for data the program cannot see.
  s.AddRecord({"Neu", "1", "1,0000", "Euro"});
  EXPECT_EQ(s.RecordCount(), 0) << "a read-only store takes no edits";
  EXPECT_EQ(s.Save().code(), Status::Code::Refused);
  EXPECT_TRUE(fs::is_fifo(dir / "D.dat"));
}

TEST(StoreSafety, DevicesAndHugeFilesAreRefusedWithoutReadingThem) {
  TempDir dir;
  const fs::path base = WriteFiveFunds(dir);
  const std::string index = ReadAll(dir / "D.idx");

  // A link to an endless device: refused at once, memory stays untouched.
  fs::remove(dir / "D.dat");
  fs::create_symlink("/dev/zero", dir / "D.dat");
  RecordStore s = Bind(base);
  EXPECT_EQ(s.Open().code(), Status::Code::NotRegular);
  EXPECT_TRUE(s.ReadOnly());
  std::string bytes;
  EXPECT_EQ(ReadFileBytes(dir / "D.dat", bytes).code(), Status::Code::NotRegular);

  // A file beyond any sensible size (sparse, so the test writes nothing).
  fs::remove(dir / "D.dat");
  WriteAll(dir / "D.dat", "x");
  fs::resize_file(dir / "D.dat", kMaxDataFileBytes + 1);
  RecordStore big = Bind(base);
  const Status opened = big.Open();
  EXPECT_EQ(opened.code(), Status::Code::TooLarge);
  EXPECT_NE(opened.message().find("600 MB"), std::string::npos) << opened.message();
  EXPECT_EQ(big.Save().code(), Status::Code::Refused);
  Status deleted;
  EXPECT_EQ(big.DeleteRecord("Fond 1", &deleted), 0);
  EXPECT_EQ(fs::file_size(dir / "D.dat"), kMaxDataFileBytes + 1);
  EXPECT_EQ(ReadAll(dir / "D.idx"), index);

  // Once the file can be read again, the store opens and saves as ever.
  fs::remove(dir / "D.dat");
  WriteFiveFunds(dir, "D");
  RecordStore again = Bind(base);
  ASSERT_TRUE(again.Open().ok());
  EXPECT_FALSE(again.ReadOnly());
  EXPECT_EQ(again.RecordCount(), 5);
  EXPECT_TRUE(again.Save().ok());
}

// One kind of damage: a name and what it does to the bytes of the data file
// (first) and of the index file (second).
struct Damage {
  std::string name;
  std::function<void(std::string& data, std::string& index)> apply;
};

std::vector<Damage> Damages(const std::string& data) {
  std::vector<Damage> out;
  for (size_t cut :
       {size_t{0}, size_t{1}, size_t{5}, data.size() / 4, data.size() / 2, data.size() - 3, data.size() - 1})
    out.push_back({"cut to " + std::to_string(cut) + " bytes", [cut](std::string& d, std::string&) { d.resize(cut); }});
  out.push_back({"CR-only line ends", [](std::string& d, std::string&) {
                   std::string r;
                   for (char c : d)
                     if (c != '\n') r += c;
                   d = r;
                 }});
  out.push_back({"header line replaced", [](std::string& d, std::string&) { d[0] = 'X'; }});
  auto lineStarts = [](const std::string& d) {
    std::vector<size_t> starts = {0};
    for (size_t i = 0; i < d.size(); ++i)
      if (d[i] == '\n' && i + 1 < d.size()) starts.push_back(i + 1);
    return starts;
  };
  // Every third line of the file removed, and doubled.
  const std::vector<size_t> starts = lineStarts(data);
  for (size_t k = 0; k < starts.size(); k += 3) {
    const size_t from = starts[k];
    const size_t to = k + 1 < starts.size() ? starts[k + 1] : data.size();
    out.push_back({"line " + std::to_string(k) + " removed",
                   [from, to](std::string& d, std::string&) { d.erase(from, to - from); }});
    out.push_back({"line " + std::to_string(k) + " doubled",
                   [from, to](std::string& d, std::string&) { d.insert(from, d.substr(from, to - from)); }});
  }
  out.push_back({"index lost", [](std::string&, std::string& i) { i.clear(); }});
  out.push_back({"index garbled", [](std::string&, std::string& i) {
                   for (char& c : i)
                     if (c != '\r' && c != '\n') c = static_cast<char>(c ^ 0x15);
                 }});
  return out;
}

// The shape of a store: records, their keys and the number of values of each
// record in each section.
std::string Shape(const RecordStore& s) {
  std::string shape = std::to_string(s.RecordCount());
  for (int r = 0; r < s.RecordCount(); ++r) {
    shape += "|" + std::string(s.Values(0, r)[0]);
    for (int t = 0; t < s.SectionCount(); ++t) shape += "," + std::to_string(s.Values(t, r).size());
  }
  return shape;
}

// Whatever a damaged store lost is said (Repaired with a description), and
// the first save keeps the damaged files beside it, named with the date.
TEST(StoreSafety, EveryDamageThatLosesARecordIsToldAndTheDamagedFilesAreKept) {
  TempDir dir;
  const fs::path base = WriteFiveFunds(dir);
  const std::string data = ReadAll(dir / "D.dat");
  const std::string index = ReadAll(dir / "D.idx");
  RecordStore original = Bind(base);
  ASSERT_TRUE(original.Open().ok());
  const std::string whole = Shape(original);
  ASSERT_EQ(original.RecordCount(), 5);

  int told = 0;
  for (const Damage& damage : Damages(data)) {
    SCOPED_TRACE(damage.name);
    std::string d = data, i = index;
    damage.apply(d, i);
    WriteAll(dir / "D.dat", d);
    WriteAll(dir / "D.idx", i);
    for (const fs::directory_entry& e : fs::directory_iterator(dir.path()))
      if (e.path().filename().string().find("beschädigt") != std::string::npos) fs::remove(e.path());

    RecordStore s = Bind(base);
    s.SetCopyDate("05.03.2003");
    ASSERT_TRUE(s.Open().ok());
    if (!s.Repaired()) {
      // Undetected only when nothing was lost (a doubled line at the end of
      // a section adds nothing that is read).
      EXPECT_EQ(Shape(s), whole);
      continue;
    }
    ++told;
    EXPECT_FALSE(s.DamageDescription().empty());
    ASSERT_FALSE(s.DamagedCopies().empty());
    EXPECT_EQ(s.DamagedCopies()[0], fs::path(dir / "D.dat.beschädigt-05.03.2003"));
    s.AddRecord({"Neu", "9", "1,0000", "Euro"});
    ASSERT_TRUE(s.Save().ok());
    EXPECT_EQ(ReadAll(dir / "D.dat.beschädigt-05.03.2003"), d);
    if (fs::exists(dir / "D.idx.beschädigt-05.03.2003")) {
      EXPECT_EQ(ReadAll(dir / "D.idx.beschädigt-05.03.2003"), i);
    }
    if (told == 1) {
      // A second save keeps no second copy.
      ASSERT_TRUE(s.Save().ok());
      EXPECT_FALSE(fs::exists(dir / "D.dat.beschädigt-05.03.2003-2"));
    }
  }
  EXPECT_GE(told, 27);
}

TEST(StoreSafety, ACopyNameThatIsTakenGetsANumber) {
  TempDir dir;
  const fs::path base = WriteFiveFunds(dir);
  std::string d = ReadAll(dir / "D.dat");
  d.resize(d.size() / 2);
  WriteAll(dir / "D.dat", d);
  WriteAll(dir / "D.dat.beschädigt-05.03.2003", "älter");
  RecordStore s = Bind(base);
  s.SetCopyDate("05.03.2003");
  ASSERT_TRUE(s.Open().ok());
  ASSERT_TRUE(s.Repaired());
  ASSERT_TRUE(s.Save().ok());
  EXPECT_EQ(ReadAll(dir / "D.dat.beschädigt-05.03.2003"), "älter");
  EXPECT_EQ(ReadAll(dir / "D.dat.beschädigt-05.03.2003-2"), d);
}

// The rename that fails, by the file name it would replace.
std::string failingTarget;
int FailingRename(const char* from, const char* to) {
  if (fs::path(to).filename() == failingTarget) {
    errno = EIO;
    return -1;
  }
  return ::rename(from, to);
}

struct RenameFault {
  explicit RenameFault(std::string target) {
    failingTarget = std::move(target);
    detail::renameFile = &FailingRename;
  }
  ~RenameFault() { detail::renameFile = &::rename; }
};

std::set<std::string> FileNames(const fs::path& dir) {
  std::set<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

TEST(StoreSafety, StoresSavedTogetherAreAllOldAfterAFailedRename) {
  TempDir dir;
  WriteFiveFunds(dir, "A");
  WriteFiveFunds(dir, "n_A");
  const std::set<std::string> files = FileNames(dir.path());
  const std::string data = ReadAll(dir / "A.dat"), index = ReadAll(dir / "A.idx");
  const std::string archiveData = ReadAll(dir / "n_A.dat"), archiveIndex = ReadAll(dir / "n_A.idx");
  RecordStore depot = Bind(dir / "A"), archive = Bind(dir / "n_A");
  ASSERT_TRUE(depot.Open().ok());
  ASSERT_TRUE(archive.Open().ok());
  depot.AddRecord({"Neu", "1", "1,0000", "Euro"});
  archive.Select("Fond 2");
  archive.ReplaceRows(1, {"05.03.2003", "9,99"});

  // The last of the four renames fails: the three before it are undone.
  {
    RenameFault fault("n_A.idx");
    const Status saved = RecordStore::SaveTogether({&depot, &archive});
    EXPECT_FALSE(saved.ok());
    EXPECT_NE(saved.path().find("n_A.idx"), std::string::npos) << saved.path();
  }
  EXPECT_EQ(ReadAll(dir / "A.dat"), data);
  EXPECT_EQ(ReadAll(dir / "A.idx"), index);
  EXPECT_EQ(ReadAll(dir / "n_A.dat"), archiveData);
  EXPECT_EQ(ReadAll(dir / "n_A.idx"), archiveIndex);
  EXPECT_EQ(FileNames(dir.path()), files) << "no temporary file or kept link stays behind";

  // Without the fault both are written.
  ASSERT_TRUE(RecordStore::SaveTogether({&depot, &archive}).ok());
  EXPECT_NE(ReadAll(dir / "A.idx"), index);
  EXPECT_NE(ReadAll(dir / "n_A.dat"), archiveData);
  EXPECT_EQ(FileNames(dir.path()), files);

  // A single store: its index rename fails, its data file stays old.
  const std::string before = ReadAll(dir / "A.dat");
  depot.AddRecord({"Noch einer", "2", "1,0000", "Euro"});
  {
    RenameFault fault("A.idx");
    EXPECT_FALSE(depot.Save().ok());
  }
  EXPECT_EQ(ReadAll(dir / "A.dat"), before);
}

TEST(StoreSafety, LeftoversOfInterruptedSavesAreRemovedAndNothingElse) {
  TempDir dir;
  // A process id that runs nowhere: the highest one there can be, unless it runs.
  long dead = 4194303;
  while (::kill(static_cast<pid_t>(dead), 0) == 0 || errno != ESRCH) --dead;
  const std::string deadPid = std::to_string(dead);
  const std::string livePid = std::to_string(::getpid());
  const fs::path month = dir / "Fondpreise" / "Bank" / "2003" / "Maerz";
  fs::create_directories(month);
  const std::vector<fs::path> leftovers = {
      dir / (".A.dat.tmp-" + deadPid + "-x1Yz9Q"),  // a store's data file
      dir / ".anb.dbk.tmp-Ab3dEf",                  // the form without process id
      dir / (".A.idx.tmp-" + deadPid + "-alt7"),    // a link kept for a rollback
      month / (".05032003.txt.laden-" + deadPid + "-0"),
      dir / (".portrait.txt.laden-" + deadPid + "-12"),
  };
  const std::vector<fs::path> kept = {
      dir / (".A.dat.tmp-" + livePid + "-q8Wx2Z"),  // a save under way
      dir / ".versteckt",
      dir / "A.tmp-123-x",
      dir / ".A.dat.tmp-",
      month / "05032003.txt",
  };
  for (const fs::path& p : leftovers) WriteAll(p, "halb");
  for (const fs::path& p : kept) WriteAll(p, "bleibt");
  fs::create_directory(dir / (".B.dat.tmp-" + deadPid + "-dir001"));  // a directory is no leftover

  EXPECT_EQ(fileset::RemoveLeftoverTemporaries(dir.path()), static_cast<int>(leftovers.size()));
  for (const fs::path& p : leftovers) EXPECT_FALSE(fs::exists(p)) << p;
  for (const fs::path& p : kept) EXPECT_TRUE(fs::exists(p)) << p;
  EXPECT_TRUE(fs::is_directory(dir / (".B.dat.tmp-" + deadPid + "-dir001")));
}

}  // namespace
}  // namespace tellurio
