// Record store benchmark on a generated large data directory: opening the
// depot store (50 funds x 5000 prices) and the fund archive store (3000 funds
// x 781 prices), each against `wc -l` over the same files (taking turns),
// also while another process streams memory (a child of this one copying a
// buffer of 512 MB round and round); the memory an open store holds (growth
// of the resident size) against its data file; and the daily download's work
// on the archive (one new price per fund, re-sorted rows, save) against
// Open + Save of the same store.
//
//   storage_bench [--dir DIR]   (default: a fresh temporary directory)

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>

#include "bench/BenchUtil.h"
#include "bench/DataGenerator.h"
#include "calendar/DateOrder.h"
#include "storage/FileSet.h"
#include "storage/RecordStore.h"

using namespace tellurio;
using namespace tellurio::bench;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> Files(const fs::path& base) {
  return {fs::path(base).concat(".dat"), fs::path(base).concat(".idx")};
}

void OpenStore(RecordStore& s, const fs::path& base, const std::vector<int>& widths) {
  Require(s.Create(base, static_cast<int>(widths.size()), widths));
  Require(s.Open());
}

// The resident size of this process in bytes.
double ResidentBytes() {
  long kb = 0;
  if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f))
      if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1) break;
    std::fclose(f);
  }
  return static_cast<double>(kb) * 1024.0;
}

// A child process that copies 256 MB from one half of a buffer to the other,
// round and round, until it is ended: another program using the memory bus.
pid_t StartMemoryStream() {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const size_t half = size_t(256) << 20;
  std::vector<char> buffer(2 * half, 1);
  for (;;) {
    std::memcpy(buffer.data() + half, buffer.data(), half);
    std::memcpy(buffer.data(), buffer.data() + half, half);
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Open of a store and `wc -l` over its files, taking turns; the medians,
// and the spread of both printed below the ratio (label).
struct OpenRuns {
  double open = 0;
  double floor = 0;
  std::vector<double> openAll, floorAll;
  void PrintSpread() const {
    std::printf("    (%zu runs: Open %.1f .. %.1f ms, wc -l %.1f .. %.1f ms)\n", openAll.size(),
                *std::min_element(openAll.begin(), openAll.end()), *std::max_element(openAll.begin(), openAll.end()),
                *std::min_element(floorAll.begin(), floorAll.end()),
                *std::max_element(floorAll.begin(), floorAll.end()));
  }
};

OpenRuns OpenAndFloor(const fs::path& base, const std::vector<int>& widths, int runs) {
  OpenRuns r;
  for (int i = 0; i < runs; ++i) {
    r.floorAll.push_back(WcFloorMs(Files(base), 1));
    r.openAll.push_back(MedianMs(1, [&] {
      RecordStore s;
      OpenStore(s, base, widths);
    }));
  }
  r.open = Median(r.openAll);
  r.floor = Median(r.floorAll);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dir;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--dir") == 0) dir = argv[i + 1];
  const bool temporary = dir.empty();
  if (temporary) dir = fs::temp_directory_path() / "tellurio-bench-storage";
  LargeData data;
  std::printf("Generating %s ...\n", dir.c_str());
  std::fflush(stdout);
  GenerateLargeDataDirectory(dir, data);
  const fs::path depotBase = fileset::DepotBase(dir, data.depot);
  const fs::path archiveBase = fileset::ArchiveBase(dir, data.depot);
  std::printf("depot store %.1f MB, archive store %.1f MB\n\n", fs::file_size(fs::path(depotBase).concat(".dat")) / 1e6,
              fs::file_size(fs::path(archiveBase).concat(".dat")) / 1e6);

  bool memoryMet = true;
  // Warm the page cache and the allocator once.
  {
    RecordStore s;
    OpenStore(s, archiveBase, fileset::kArchiveRowWidths);
  }

  const OpenRuns depotRuns = OpenAndFloor(depotBase, fileset::kDepotRowWidths, 9);
  const OpenRuns archiveRuns = OpenAndFloor(archiveBase, fileset::kArchiveRowWidths, 9);
  const double openArchive = archiveRuns.open;
  Report("Open depot store", depotRuns.open, "wc -l depot files", depotRuns.floor, 3.0);
  depotRuns.PrintSpread();
  Report("Open archive store", openArchive, "wc -l archive files", archiveRuns.floor, 2.0);
  archiveRuns.PrintSpread();
  {
    const pid_t stream = StartMemoryStream();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // its buffer is in place
    const OpenRuns loaded = OpenAndFloor(archiveBase, fileset::kArchiveRowWidths, 9);
    kill(stream, SIGKILL);
    waitpid(stream, nullptr, 0);
    Report("  while another process streams memory", loaded.open, "wc -l, the same", loaded.floor, 2.0);
    loaded.PrintSpread();
  }
  // What an open store holds: the growth of the resident size, against the
  // size of its data file.
  for (const auto& [name, base, widths] :
       {std::tuple{"Memory of the open depot store", depotBase, fileset::kDepotRowWidths},
        std::tuple{"Memory of the open archive store", archiveBase, fileset::kArchiveRowWidths}}) {
    const double before = ResidentBytes();
    RecordStore s;
    OpenStore(s, base, widths);
    const double held = ResidentBytes() - before;
    const double file = static_cast<double>(fs::file_size(fs::path(base).concat(".dat")));
    const double ratio = held / file;
    std::printf("%-48s %9.1f MB   %-28s %8.1f MB   ratio %5.2f   target <= 1.30  %s\n", name, held / 1e6,
                "its data file", file / 1e6, ratio, ratio <= 1.3 ? "met" : "MISSED");
    if (ratio > 1.3) memoryMet = false;
  }

  RecordStore archive;
  OpenStore(archive, archiveBase, fileset::kArchiveRowWidths);
  const double saveArchive = MedianMs(3, [&] { Require(archive.Save()); });

  // The daily download: each fund gets the next business day's price.  Only
  // the append, the sort and the save are timed, not the open before them.
  std::string nextDay = NextBusinessDay(BusinessDayBefore(0));
  std::vector<double> runs;
  for (int run = 0; run < 3; ++run) {
    RecordStore s;
    OpenStore(s, archiveBase, fileset::kArchiveRowWidths);
    const auto t0 = std::chrono::steady_clock::now();
    const std::vector<std::string> keys = s.Keys();
    for (const std::string& key : keys) {
      s.Select(key);
      const RecordView v = s.Values(1, s.CurrentRecord());
      std::vector<std::string> rows;
      rows.reserve(v.size() + 2);
      for (size_t i = 0; i < v.size(); ++i) rows.emplace_back(v[i]);
      rows.push_back(nextDay);
      rows.push_back("12,34");
      SortRowsByDate(rows, 2, 0, false);
      s.ReplaceRows(1, std::move(rows));
    }
    Require(s.Save());
    runs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    nextDay = NextBusinessDay(nextDay);
  }
  std::sort(runs.begin(), runs.end());
  Report("Daily append + sort + Save (archive)", runs[1], "Open + Save archive", openArchive + saveArchive, 3.0);

  if (temporary) fs::remove_all(dir);
  const bool met = AllTargetsMet() && memoryMet;
  std::printf("\n%s\n", met ? "All targets met." : "Some targets MISSED.");
  return met ? 0 : 1;
}
