#include "app/demo/DemoData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <system_error>

#include "calendar/NumberText.h"
#include "portfolio/Funds.h"
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

std::vector<DemoFund> DemoFunds(const std::string& depot) {
  if (depot == "Altersvorsorge")
    return {{"Rhein-Main Aktien Europa", "847101", "1,0500", "Euro", 42.10, false},
            {"Nordstern Renten Global", "847102", "1,0300", "Euro", 28.75, false},
            {"Weltportfolio Dynamik", "847103", "1,0525", "Euro", 61.40, false},
            {"Immobilien Sachwert Plus", "847104", "1,0550", "Euro", 51.20, false},
            {"Euro Geldmarkt Plus", "847190", "1,0000", "Euro", 50.00, true},
            {"Emerging Markets Value", "847191", "1,0500", "Euro", 33.80, true}};
  if (depot == "Sparplan Kinder")
    return {{"Zukunft Aktien Deutschland", "847201", "1,0500", "Euro", 95.30, false},
            {"Taunus Mischfonds Balance", "847202", "1,0400", "Euro", 37.60, false},
            {"Nachhaltig Wachsen Global", "847290", "1,0500", "Euro", 24.15, true}};
  if (depot == "Weltweit")
    return {{"Global Tech Innovation", "976501", "1,0500", "Euro", 118.90, false},
            {"Asien Pazifik Chancen", "976502", "1,0500", "Euro", 72.45, false},
            {"Alpen Blue Chips", "976503", "1,0450", "Euro", 156.00, false},
            {"Nordamerika Dividende", "976590", "1,0500", "USD", 44.40, true}};
  return {};
}

std::vector<std::string> DemoPrices(const Calendar& calendar, const DemoFund& fund, int days) {
  std::vector<PackedDate> dates;
  PackedDate d = PreviousBusinessDay(calendar, calendar.Today());
  while (static_cast<int>(dates.size()) < days) {
    if (IsBusinessDay(calendar, d)) dates.push_back(d);
    d = Calendar::Normalise(MakePackedDate(PackedYear(d), PackedMonth(d), PackedDay(d) - 1));
  }
  std::reverse(dates.begin(), dates.end());
  std::uint32_t seed = 2166136261u;  // FNV-1a of the name: the same walk on every machine
  for (unsigned char c : fund.name) seed = (seed ^ c) * 16777619u;
  std::mt19937 random(seed);
  std::normal_distribution<double> step(0.00025, 0.009);
  std::vector<std::string> rows;
  rows.reserve(2 * dates.size());
  double price = fund.startPrice;
  for (PackedDate day : dates) {
    price *= std::exp(step(random));
    rows.push_back(Calendar::FormatDate(day));
    rows.push_back(FormatNumber(price, 2));
  }
  return rows;
}

Status WriteDemoDataDirectory(const fs::path& dir, const Calendar& calendar) {
  const int year = PackedYear(calendar.Today());
  const std::string monthName = calendar.TodayMonthName();
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
    result = First(result, depot.Open());
    RecordStore archive;
    result = First(result, archive.Create(fileset::ArchiveBase(dir, d.depot), 2, fileset::kArchiveRowWidths));
    result = First(result, archive.Open());
    bool depotChanged = false, archiveChanged = false;
    for (const DemoFund& f : DemoFunds(d.depot)) {
      RecordStore& store = f.archived ? archive : depot;
      if (store.FindKey(f.name) >= 0 && store.FindKey(f.name) < store.RecordCount()) continue;
      store.AddRecord({f.name, f.wkn, f.surchargeFactor, f.currency});
      const std::vector<std::string> prices = DemoPrices(calendar, f, 1300);
      store.AppendRows(section::kPrices, prices, static_cast<int>(prices.size() / 2));
      (f.archived ? archiveChanged : depotChanged) = true;
    }
    if (depotChanged) result = First(result, depot.Save());
    if (archiveChanged) result = First(result, archive.Save());
  }
  result = First(result, WriteListFile(dir / fileset::kProviderAssignments, pairs));
  result = First(result, fileset::EnsurePriceDirectories(dir, providers, year, monthName));
  return result;
}

}  // namespace tellurio::demo
