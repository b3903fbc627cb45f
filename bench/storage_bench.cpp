// Record store benchmark on a generated large data directory: opening the
// depot store (50 funds x 5000 prices) and the fund archive store (3000 funds
// x 781 prices), each against `wc -l` over the same files, and the daily
// download's work on the archive (one new price per fund, re-sorted rows,
// save) against Open + Save of the same store.
//
//   storage_bench [--dir DIR]   (default: a fresh temporary directory)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

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

  // Warm the page cache and the allocator once.
  {
    RecordStore s;
    OpenStore(s, archiveBase, fileset::kArchiveRowWidths);
  }

  const double wcDepot = WcFloorMs(Files(depotBase));
  const double wcArchive = WcFloorMs(Files(archiveBase));
  const double openDepot = MedianMs(7, [&] {
    RecordStore s;
    OpenStore(s, depotBase, fileset::kDepotRowWidths);
  });
  const double openArchive = MedianMs(7, [&] {
    RecordStore s;
    OpenStore(s, archiveBase, fileset::kArchiveRowWidths);
  });
  Report("Open depot store", openDepot, "wc -l depot files", wcDepot, 3.0);
  Report("Open archive store", openArchive, "wc -l archive files", wcArchive, 3.0);

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
  std::printf("\n%s\n", AllTargetsMet() ? "All targets met." : "Some targets MISSED.");
  return AllTargetsMet() ? 0 : 1;
}
