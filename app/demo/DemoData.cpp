#include "app/demo/DemoData.h"

#include <algorithm>
#include <system_error>

#include "storage/FileSet.h"
#include "storage/ListFile.h"
#include "storage/RecordStore.h"

namespace tellurio::demo {

namespace fs = std::filesystem;

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

Status First(Status a, const Status& b) { return a.ok() ? b : a; }

}  // namespace

const std::vector<DemoDepot>& DemoDepots() {
  static const std::vector<DemoDepot> depots = {
      {"Altersvorsorge", "Deka Bank", "Deka"},
      {"Sparplan Kinder", "Deka Bank", "Deka"},
      {"Weltweit", "DWS Fonds", "DWS"},
  };
  return depots;
}

Status WriteDemoDataDirectory(const fs::path& dir, int year, const std::string& monthName) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) return Status::FromErrno(ec.value(), dir.string());

  Status result;
  std::vector<std::string> pairs;
  ReadListFile(dir / fileset::kProviderAssignments, pairs);
  std::vector<std::string> providers;
  for (const DemoDepot& d : DemoDepots()) {
    if (!Contains(providers, d.provider)) providers.push_back(d.provider);
    bool assigned = false;
    for (size_t i = 0; i + 1 < pairs.size(); i += 2) assigned = assigned || pairs[i] == d.provider;
    if (!assigned) {
      pairs.push_back(d.provider);
      pairs.push_back(d.webProvider);
    }
    std::vector<std::string> list;
    ReadListFile(fileset::ProviderList(dir, d.provider), list);
    if (!Contains(list, d.depot)) {
      list.push_back(d.depot);
      result = First(result, WriteListFile(fileset::ProviderList(dir, d.provider), list));
    }
    RecordStore depot;
    result = First(result, depot.Create(fileset::DepotBase(dir, d.depot), 6, fileset::kDepotRowWidths));
    RecordStore archive;
    result = First(result, archive.Create(fileset::ArchiveBase(dir, d.depot), 2, fileset::kArchiveRowWidths));
  }
  result = First(result, WriteListFile(dir / fileset::kProviderAssignments, pairs));
  result = First(result, fileset::EnsurePriceDirectories(dir, providers, year, monthName));
  return result;
}

}  // namespace tellurio::demo
