// Benchmark of backup and restore on the large data directory (a depot of
// 50 funds with 5,000 prices, its fund archive of 3,000 funds with 781
// prices, provider lists, the DAX history and a portrait file, about 60 MB
// in the saved files) and a temporary directory as the drive:
//
//   backup   a backup onto the drive that already holds "Vater" and "Sohn"
//            (so the oldest generation is removed), every piece of every
//            copy read back and compared, against `cp` of the same files
//            into an empty directory of the drive plus reading the copies
//            back once;
//   restore  the restore of "Vater" over the working directory, staged,
//            compared and renamed, against `cp` of the generation's files
//            into an empty directory beside the working directory plus
//            reading the copies back once.
//
// Floor and measurement take turns, so that both meet the same machine.
//
// Every copy is flushed to its device before it counts (fdatasync), which
// `cp` does not do.  By default both the data directory and the drive are
// temporary directories in /dev/shm, where flushing costs nothing, so that
// the ratios measure the program's own work; on a disk the time the device
// takes to write the data comes on top (pass --dir and --drive to see it).
//
//   backup_bench [--dir DIR] [--drive DIR]
//     --dir    where the data directory is made
//     --drive  the directory that stands for the drive

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "backup/Generations.h"
#include "bench/BenchUtil.h"
#include "bench/DataGenerator.h"
#include "platform/testing/TempDir.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

extern char** environ;

using namespace tellurio;
using namespace tellurio::bench;
namespace fs = std::filesystem;

namespace {

// `cp` of the files into target, as a separate process.
void Cp(const std::vector<fs::path>& files, const fs::path& target) {
  std::vector<std::string> args = {"cp"};
  for (const fs::path& f : files) args.push_back(f.string());
  args.push_back(target.string() + "/");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv.data(), environ) != 0) {
    std::perror("cp");
    std::exit(2);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "cp failed\n");
    std::exit(2);
  }
}

// Reads every file once, the cheapest way: one buffer, read(2).
void ReadBack(const fs::path& dir, const std::vector<std::string>& names) {
  static std::unique_ptr<char[]> buffer(new char[1 << 20]);
  for (const std::string& n : names) {
    const int fd = ::open((dir / n).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    while (::read(fd, buffer.get(), 1 << 20) > 0) {
    }
    ::close(fd);
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The portrait file: blocks of lines as the publisher writes them, `bytes`
// long.
void WritePortraitFile(const fs::path& file, size_t bytes) {
  std::string text;
  text.reserve(bytes + 256);
  for (int f = 0; text.size() < bytes; ++f) {
    char block[256];
    std::snprintf(block, sizeof block,
                  "Archivfonds %04d Renten Europa\r\n%06d\r\nRentenbank Invest GmbH\r\n%d,%02d\r\nEUR\r\n***\r\n",
                  f % 3000, 100000 + f % 3000, 20 + f % 80, f % 100);
    text += block;
  }
  text.resize(bytes);
  testing::WriteAll(file, text);
}

}  // namespace

int main(int argc, char** argv) {
  fs::path base, driveArg;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--dir") == 0) base = argv[i + 1];
    if (std::strcmp(argv[i], "--drive") == 0) driveArg = argv[i + 1];
  }
  const fs::path scratch = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  if (base.empty()) base = scratch / "tellurio-bench-backup";
  const fs::path wd = base / "data";
  const fs::path copies = base / "cp-floor";
  fs::path drive = driveArg;
  if (drive.empty()) drive = scratch / "tellurio-bench-drive";
  fs::remove_all(base);
  if (driveArg.empty()) fs::remove_all(drive);
  fs::create_directories(drive);

  LargeData data;
  std::printf("Generating %s ...\n", wd.c_str());
  std::fflush(stdout);
  GenerateLargeDataDirectory(wd, data);
  Require(WriteListFile(fileset::ProviderList(wd, "Grossbank"), {data.depot}));
  Require(WriteListFile(wd / fileset::kProviderAssignments, {"Grossbank", "Deka"}));
  std::vector<std::string> dax;
  for (int d = 0; d < 5000; ++d) dax.insert(dax.end(), {BusinessDayBefore(d), "4.123,45"});
  Require(WriteListFile(wd / fileset::kDaxHistory, dax));
  const std::vector<std::string> names = backup::BackupFileNames({data.depot}, {"Grossbank"});
  std::uintmax_t stores = 0;
  for (const std::string& n : names)
    if (n != "portrait.txt" && fs::exists(wd / n)) stores += fs::file_size(wd / n);
  // The portrait file brings the saved files to 60 MB.
  WritePortraitFile(wd / fileset::kPortraitFile, stores < 60'000'000 ? 60'000'000 - stores : 1'000'000);
  std::vector<fs::path> files;
  std::uintmax_t total = 0;
  for (const std::string& n : names) {
    files.push_back(wd / n);
    total += fs::file_size(wd / n);
  }
  std::printf("%zu files, %.1f MB; data directory %s, drive %s\n\n", files.size(), static_cast<double>(total) / 1e6,
              wd.c_str(), drive.c_str());

  backup::PosixFileLayer layer;
  // Two backups first, so that every timed one also removes the oldest.
  for (int i = 0; i < 2; ++i) {
    const backup::BackupResult r = backup::WriteGeneration(layer, wd, names, drive, std::nullopt);
    if (!r.ok) {
      std::fprintf(stderr, "backup failed: %s\n", r.problem.c_str());
      return 2;
    }
  }

  std::vector<double> floors, times;
  const fs::path floorDir = drive / "cp-floor";
  for (int run = 0; run < 11; ++run) {
    fs::remove_all(floorDir);
    fs::create_directories(floorDir);
    floors.push_back(MedianMs(1, [&] {
      Cp(files, floorDir);
      ReadBack(floorDir, names);
    }));
    bool ok = true;
    times.push_back(MedianMs(1, [&] { ok = backup::WriteGeneration(layer, wd, names, drive, std::nullopt).ok; }));
    if (!ok) return 2;
  }
  fs::remove_all(floorDir);
  const double backupFloor = Median(floors);
  const double backupMs = Median(times);

  floors.clear();
  times.clear();
  const std::optional<backup::RestoreSource> source = backup::OpenRestoreSource(layer, drive);
  if (!source) return 2;
  std::vector<fs::path> sourceFiles;
  for (const std::string& n : source->files) sourceFiles.push_back(source->dir / n);
  const backup::NameCheck anyName = [](const std::string&, bool) { return std::optional<std::string>(); };
  for (int run = 0; run < 11; ++run) {
    fs::remove_all(copies);
    fs::create_directories(copies);
    floors.push_back(MedianMs(1, [&] {
      Cp(sourceFiles, copies);
      ReadBack(copies, source->files);
    }));
    bool ok = true;
    times.push_back(MedianMs(1, [&] {
      ok = backup::RestoreGeneration(layer, *source, wd, anyName, std::nullopt).outcome ==
           backup::RestoreResult::Outcome::Restored;
    }));
    if (!ok) return 2;
  }
  const double restoreFloor = Median(floors);
  const double restoreMs = Median(times);

  Report("Backup of 60 MB, verified, oldest removed", backupMs, "cp + read back", backupFloor, 1.5);
  Report("Restore of 60 MB, staged and verified", restoreMs, "cp + read back", restoreFloor, 1.5);
  fs::remove_all(base);
  if (driveArg.empty()) fs::remove_all(drive);
  return AllTargetsMet() ? 0 : 1;
}
