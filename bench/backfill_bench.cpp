// Benchmark of the back-fill of the download run on the large data
// directory: one provider (web provider Deka of the demo publisher, served
// on 127.0.0.1 in this process) whose depot is 21 price days behind; the
// publisher has no file for Christmas Eve, so 20 files are fetched, stored
// and merged, together with the run's own work (the newest price, the
// statistics, the archive reconciliation, the stale funds).
//
//   back-fill   DownloadPrices from 01.12. to 30.12.2026, every file fetched
//   floor       the same 20 files, already downloaded, read from
//               "Fondpreise" and merged with MergePriceRecords
//
// Both start from the same stores; they take turns, three runs each.
//
//   backfill_bench [--dir DIR]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "Funds.h"
#include "Publisher.h"
#include "acquisition/PriceAcquisition.h"
#include "app/tests/FakeShell.h"
#include "bench/BenchUtil.h"
#include "bench/DataGenerator.h"
#include "marabu/MarabuLibrary.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

using namespace tellurio;
using namespace tellurio::bench;
namespace fs = std::filesystem;

namespace {

constexpr const char* kProvider = "Grossbank";
constexpr const char* kDepot = "Grossdepot";

std::vector<fs::path> StoreFiles(const fs::path& dir) {
  return {fileset::DepotBase(dir, kDepot).concat(".dat"), fileset::DepotBase(dir, kDepot).concat(".idx"),
          fileset::ArchiveBase(dir, kDepot).concat(".dat"), fileset::ArchiveBase(dir, kDepot).concat(".idx")};
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = BenchDirectory(argc, argv, "backfill");
  fs::remove_all(dir);
  LargeData data;
  data.depot = kDepot;
  GenerateLargeDataDirectory(dir, data);
  Require(WriteListFile(fileset::ProviderList(dir, kProvider), {kDepot}));
  Require(WriteListFile(dir / fileset::kProviderAssignments, {kProvider, "Deka"}));
  // Five funds of the publisher are held too, last priced with the rest.
  {
    RecordStore d;
    Require(d.Create(fileset::DepotBase(dir, kDepot), 6, fileset::kDepotRowWidths));
    Require(d.Open());
    const demo::Provider* deka = demo::FindProviderByKey("Deka");
    for (size_t f = 0; f < 5; ++f) {
      const demo::Fund& fund = deka->funds[f * 7];
      d.AddRecord({fund.name, fund.wkn, "1,0500", fund.currency});
      d.ReplaceRows(section::kPrices, {BusinessDayBefore(0), "50,00"});
    }
    Require(d.Save());
  }
  std::vector<std::string> initial;
  for (const fs::path& f : StoreFiles(dir)) {
    std::string bytes;
    Require(ReadFileBytes(f, bytes));
    initial.push_back(std::move(bytes));
  }
  auto restoreStores = [&] {
    const std::vector<fs::path> files = StoreFiles(dir);
    for (size_t i = 0; i < files.size(); ++i) Require(WriteFileAtomically(files[i], initial[i]));
  };

  demo::PublisherOptions options;
  options.port = 0;
  options.today = demo::Date{2026, 12, 30};
  demo::PublisherServer server(options);
  std::string error;
  if (!server.Start(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const std::string address = "127.0.0.1:" + std::to_string(server.port());
  for (const char* v : {"MARABU_PUBLISHER", "MARABU_INDEX_SERVER", "MARABU_COMPARISON_SERVER"})
    setenv(v, address.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (dir / ".config").c_str(), 1);

  RecordingPrompter prompter;
  MemorySettings settings;
  FixedClock clock(CivilDate{2026, 12, 30});
  marabu::MarabuLibrary web;
  testing::ScriptedShellDialogs shell;
  SilentAcquisitionDialogs dialogs;
  PriceAcquisition acquisition(dialogs, web);
  CTellurioDoc doc(DocumentServices{prompter, settings, clock, web, shell, {&acquisition}});
  acquisition.SetSession(&doc);
  DepotState& s = doc.State();
  s.workingDirectory = dir;
  s.currency = "Euro";
  s.providerNames = {kProvider};
  s.depotNames = {kDepot};
  s.currentDepot = kDepot;
  doc.LoadDepot();

  const fs::path priceDir = fileset::ProviderPriceDir(dir, kProvider);
  std::vector<fs::path> stored;
  auto backfill = [&] {
    fs::remove_all(priceDir);
    restoreStores();
    s.currentDepot = kDepot;
    doc.LoadDepot();
    const double ms = MedianMs(1, [&] {
      if (!acquisition.DownloadPrices()) throw std::runtime_error("back-fill failed");
    });
    stored.clear();
    for (const auto& e : fs::recursive_directory_iterator(priceDir))
      if (e.is_regular_file()) stored.push_back(e.path());
    std::sort(stored.begin(), stored.end(), [](const fs::path& a, const fs::path& b) {
      const std::string x = a.filename().string(), y = b.filename().string();
      return x.substr(4, 4) + x.substr(2, 2) + x.substr(0, 2) < y.substr(4, 4) + y.substr(2, 2) + y.substr(0, 2);
    });
    return ms;
  };
  auto merges = [&] {
    restoreStores();
    s.currentDepot = kDepot;
    doc.LoadDepot();
    return MedianMs(1, [&] {
      for (const fs::path& file : stored) {
        std::vector<std::string> lines;
        Require(ReadTextLines(file, lines));
        if (!acquisition.MergePriceRecords(lines, true, "")) throw std::runtime_error("merge failed");
      }
    });
  };

  std::vector<double> runs, floors;
  for (int run = 0; run < 3; ++run) {
    runs.push_back(backfill());
    floors.push_back(merges());
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  {
    RecordStore d;
    Require(d.Create(fileset::DepotBase(dir, kDepot), 6, fileset::kDepotRowWidths));
    Require(d.Open());
    const std::vector<std::string> rows = PriceRows(d, FundNames(d).back());
    std::printf("%zu files fetched and merged; a held fund of the publisher has %zu prices, newest %s\n", stored.size(),
                rows.size() / 2, LatestPrice(rows).date.c_str());
    std::printf("back-fill runs (ms):");
    for (double r : runs) std::printf(" %.0f", r);
    std::printf("\nmerge runs (ms):    ");
    for (double f : floors) std::printf(" %.0f", f);
    std::printf("\n\n");
  }
  Report("Back-fill of 20 price days from the demo publisher", median(runs), "20 merges of the stored files",
         median(floors), 1.5);
  // The one note of the run (Christmas Eve has no file) is expected.
  int unexpected = 0;
  for (const Message& m : prompter.Messages()) {
    const bool christmasEve = m.text.find("24.12.2026") != std::string::npos && m.title == "Hinweis";
    if (!christmasEve) ++unexpected;
    std::printf("message: %s ...\n", m.text.substr(0, m.text.find('\n', m.text.find('\n') + 1)).c_str());
  }
  server.Stop();
  fs::remove_all(dir);
  return AllTargetsMet() && unexpected == 0 && stored.size() == 20 ? 0 : 1;
}
