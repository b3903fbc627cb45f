// Benchmark of price acquisition on the large data directory: one provider
// with two depots, each with 50 held funds of 5,000 prices and a fund
// archive of 3,000 funds with 781 prices, and a price file of 3,050 funds.
//
//   merge          MergePriceRecords of the file into both depots, saved,
//                  against Open + Save of the four stores it touches;
//   reconciliation ReconcileArchives of one depot whose archive holds 100
//                  funds twice, against Open + Save of that archive;
//   portrait index the index of 3,000 funds over a 600,000-line portrait
//                  file, against `wc -l` over the file.
//
//   acquisition_bench [--dir DIR]

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "acquisition/PriceAcquisition.h"
#include "app/tests/FakeShell.h"
#include "bench/BenchUtil.h"
#include "bench/DataGenerator.h"
#include "portfolio/Funds.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"

using namespace tellurio;
using namespace tellurio::bench;
namespace fs = std::filesystem;

namespace {

constexpr const char* kProvider = "Grossbank";
constexpr const char* kDepots[2] = {"Grossdepot", "Zweitdepot"};

// The price file of a day: the 50 held funds and the 3,000 archived ones.
std::vector<std::string> DayFile(const LargeData& data, const std::string& date, int salt) {
  std::vector<std::string> lines;
  auto add = [&](const std::string& name, const std::string& wkn, int i) {
    char price[32];
    std::snprintf(price, sizeof price, "%d,%02d", 20 + (i * 7 + salt) % 150, (i * 13 + salt) % 100);
    lines.insert(lines.end(), {name, wkn, "1,0500", "Euro", date, price});
  };
  char name[64], wkn[16];
  for (int f = 0; f < data.depotFunds; ++f) {
    std::snprintf(name, sizeof name, "Depotfonds %03d Aktien Welt", f);
    std::snprintf(wkn, sizeof wkn, "%06d", 800000 + f);
    add(name, wkn, f);
  }
  for (int f = 0; f < data.archiveFunds; ++f) {
    std::snprintf(name, sizeof name, "Archivfonds %04d Renten Europa", f);
    add(name, WknOfArchiveFund(f), f + 50);
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = BenchDirectory(argc, argv, "acquisition");
  fs::remove_all(dir);
  LargeData data;
  for (const char* depot : kDepots) {
    data.depot = depot;
    GenerateLargeDataDirectory(dir, data);
  }
  Require(WriteListFile(fileset::ProviderList(dir, kProvider), {kDepots[0], kDepots[1]}));
  Require(WriteListFile(dir / fileset::kProviderAssignments, {kProvider, "Deka"}));

  RecordingPrompter prompter;
  MemorySettings settings;
  FixedClock clock(CivilDate{2026, 12, 1});
  marabu::testing::FakeWebLibrary web;
  testing::ScriptedShellDialogs shell;
  SilentAcquisitionDialogs dialogs;
  PriceAcquisition acquisition(dialogs, web);
  CTellurioDoc doc(DocumentServices{prompter, settings, clock, web, shell, {&acquisition}});
  acquisition.SetSession(&doc);
  DepotState& s = doc.State();
  s.workingDirectory = dir;
  s.currency = "Euro";
  s.providerNames = {kProvider};
  s.depotNames = {kDepots[0], kDepots[1]};
  s.currentDepot = kDepots[0];
  doc.LoadDepot();

  // ---- merge ----
  auto openAndSave = [&] {
    for (const char* depot : kDepots) {
      RecordStore d, a;
      Require(d.Create(fileset::DepotBase(dir, depot), 6, fileset::kDepotRowWidths));
      Require(d.Open());
      Require(a.Create(fileset::ArchiveBase(dir, depot), 2, fileset::kArchiveRowWidths));
      Require(a.Open());
      Require(RecordStore::SaveTogether({&d, &a}));
    }
  };
  openAndSave();  // warm the page cache
  // Each run gets the file of the next business day, so every run appends
  // and the full archive records drop their oldest price; the file is made
  // outside the timing.  Floor and merge take turns, so that both meet the
  // same machine.
  std::string date = BusinessDayBefore(0);
  std::vector<double> floors, times;
  for (int run = 1; run <= 7; ++run) {
    date = NextBusinessDay(date);
    const std::vector<std::string> file = DayFile(data, date, run);
    floors.push_back(MedianMs(1, openAndSave));
    times.push_back(MedianMs(1, [&] {
      if (!acquisition.MergePriceRecords(file, true, "")) throw std::runtime_error("merge failed");
    }));
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  const double mergeFloor = median(floors);
  const double merge = median(times);
  {
    RecordStore a;
    Require(a.Create(fileset::ArchiveBase(dir, kDepots[1]), 2, fileset::kArchiveRowWidths));
    Require(a.Open());
    RecordStore d;
    Require(d.Create(fileset::DepotBase(dir, kDepots[1]), 6, fileset::kDepotRowWidths));
    Require(d.Open());
    std::printf("after the merges: %d archived funds of %zu prices, held fund of %zu prices, newest %s\n",
                a.RecordCount(), PriceRows(a, FundNames(a).front()).size() / 2,
                PriceRows(d, FundNames(d).front()).size() / 2,
                LatestPrice(PriceRows(d, FundNames(d).front())).date.c_str());
  }

  // ---- reconciliation ----
  // The archive of the first depot gets 100 funds a second time, under an
  // old name with an older history; each run starts from that state.
  const fs::path archiveBase = fileset::ArchiveBase(dir, kDepots[0]);
  {
    RecordStore a;
    Require(a.Create(archiveBase, 2, fileset::kArchiveRowWidths));
    Require(a.Open());
    for (int f = 0; f < 100; ++f) {
      char name[64];
      std::snprintf(name, sizeof name, "Archivfonds %04d alt", f * 30);
      std::vector<std::string> rows;
      for (int d = 1300; d >= 700; --d) rows.insert(rows.end(), {BusinessDayBefore(d), "10,00"});
      a.AddRecord({name, WknOfArchiveFund(f * 30), "1,0300", "Euro"});
      a.ReplaceRows(section::kPrices, std::move(rows));
    }
    Require(a.Save());
  }
  std::string dataBytes, indexBytes;
  Require(ReadFileBytes(fs::path(archiveBase).concat(".dat"), dataBytes));
  Require(ReadFileBytes(fs::path(archiveBase).concat(".idx"), indexBytes));
  auto restoreArchive = [&] {
    Require(WriteFileAtomically(fs::path(archiveBase).concat(".dat"), dataBytes));
    Require(WriteFileAtomically(fs::path(archiveBase).concat(".idx"), indexBytes));
  };
  auto openAndSaveArchive = [&] {
    RecordStore a;
    Require(a.Create(archiveBase, 2, fileset::kArchiveRowWidths));
    Require(a.Open());
    Require(a.Save());
  };
  Require(WriteListFile(fileset::ProviderList(dir, "Einzeln"), {kDepots[0]}));
  s.providerNames = {"Einzeln"};
  s.currentDepot = kDepots[1];
  doc.LoadDepot();
  floors.clear();
  times.clear();
  for (int i = 0; i < 7; ++i) {
    floors.push_back(MedianMs(1, openAndSaveArchive));
    restoreArchive();
    times.push_back(MedianMs(1, [&] { acquisition.ReconcileArchives(); }));
  }
  const double archiveFloor = median(floors);
  const double reconcile = median(times);
  {
    RecordStore a;
    Require(a.Create(archiveBase, 2, fileset::kArchiveRowWidths));
    Require(a.Open());
    std::printf("after the reconciliation: %d archived funds, the first one with %zu prices\n", a.RecordCount(),
                PriceRows(a, FundNames(a).front()).size() / 2);
  }

  // ---- portrait index ----
  const fs::path portrait = WritePortraitFile(dir, data, 600000);
  std::vector<PortraitFund> funds;
  for (int f = 0; f < data.archiveFunds; ++f) {
    char name[64];
    std::snprintf(name, sizeof name, "Archivfonds %04d Renten Europa", f);
    funds.push_back({name, WknOfArchiveFund(f)});
  }
  long lines = 0;
  FirstLinesContaining(portrait, {}, nullptr, size_t{4} << 20, &lines);
  PortraitIndex index = IndexPortraits(funds, portrait);
  const double indexMs = MedianMs(9, [&] { index = IndexPortraits(funds, portrait); });
  const double wcMs = WcFloorMs({portrait}, 9);
  std::printf("portrait file of %ld lines (%.1f MB), %zu funds indexed\n\n", lines,
              static_cast<double>(fs::file_size(portrait)) / 1e6, index.size());

  Report("Merge of 3,050 funds into two depots", merge, "Open + Save of 4 stores", mergeFloor, 3.0);
  Report("Archive reconciliation of one depot", reconcile, "Open + Save of the archive", archiveFloor, 2.0);
  Report("Portrait index, 3,000 funds", indexMs, "wc -l of portrait.txt", wcMs, 3.0);
  for (const Message& m : prompter.Messages()) std::printf("message: %s\n", m.text.c_str());
  fs::remove_all(dir);
  return AllTargetsMet() && prompter.Messages().empty() ? 0 : 1;
}
