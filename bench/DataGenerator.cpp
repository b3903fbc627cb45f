#include "bench/DataGenerator.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "bench/BenchUtil.h"
#include "platform/Clock.h"
#include "storage/FileSet.h"
#include "storage/RecordStore.h"

namespace tellurio::bench {

namespace fs = std::filesystem;

namespace {

std::string DateText(CivilDate d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day, d.month, d.year);
  return buf;
}

bool IsWeekend(long long days) {
  const long long wd = ((days % 7) + 11) % 7;  // 0 = Sunday; 01.01.1970 was a Thursday
  return wd == 0 || wd == 6;
}

std::vector<std::string> BusinessDays(int count) {
  std::vector<std::string> out(static_cast<size_t>(count));
  long long d = DaysFromCivil({2026, 12, 1});
  for (int i = count - 1; i >= 0; --i) {
    do {
      --d;
    } while (IsWeekend(d));
    out[static_cast<size_t>(i)] = DateText(CivilFromDays(d));
  }
  return out;
}

std::string Price(unsigned fund, int day) {
  // A slow deterministic walk around a fund-specific level.
  const double base = 20.0 + (fund * 37u % 180u);
  const double v = base * (1.0 + 0.15 * ((day * (fund % 7 + 1)) % 400 - 200) / 200.0);
  char buf[32];
  const long cents = static_cast<long>(v * 100);
  std::snprintf(buf, sizeof buf, "%ld,%02ld", cents / 100, cents % 100);
  return buf;
}

}  // namespace

std::string BusinessDayBefore(int back) {
  long long d = DaysFromCivil({2026, 12, 1});
  for (int i = 0; i <= back; ++i) {
    do {
      --d;
    } while (IsWeekend(d));
  }
  return DateText(CivilFromDays(d));
}

std::string NextBusinessDay(const std::string& date) {
  const CivilDate c{std::stoi(date.substr(6)), std::stoi(date.substr(3, 2)), std::stoi(date.substr(0, 2))};
  long long d = DaysFromCivil(c);
  do {
    ++d;
  } while (IsWeekend(d));
  return DateText(CivilFromDays(d));
}

void GenerateLargeDataDirectory(const fs::path& dir, const LargeData& data) {
  fs::create_directories(dir);
  for (const fs::path& base : {fileset::DepotBase(dir, data.depot), fileset::ArchiveBase(dir, data.depot)}) {
    fs::remove(fs::path(base).concat(".dat"));
    fs::remove(fs::path(base).concat(".idx"));
  }
  const std::vector<std::string> days = BusinessDays(std::max(data.depotPrices, data.archivePrices));

  RecordStore depot;
  Require(depot.Create(fileset::DepotBase(dir, data.depot), 6, fileset::kDepotRowWidths));
  Require(depot.Open());
  for (int f = 0; f < data.depotFunds; ++f) {
    char name[64], wkn[16];
    std::snprintf(name, sizeof name, "Depotfonds %03d Aktien Welt", f);
    std::snprintf(wkn, sizeof wkn, "%06d", 800000 + f);
    depot.AddRecord({name, wkn, "1,0500", f % 5 == 0 ? "DM" : "Euro"});
    std::vector<std::string> rows;
    const size_t first = days.size() - static_cast<size_t>(data.depotPrices);
    for (int d = 0; d < data.depotPrices; ++d) {
      rows.push_back(days[first + static_cast<size_t>(d)]);
      rows.push_back(Price(static_cast<unsigned>(f), d));
    }
    depot.ReplaceRows(1, std::move(rows));
    std::vector<std::string> buys;
    for (int p = 0; p < data.purchasesPerFund; ++p) {
      const size_t at = first + static_cast<size_t>(p) * static_cast<size_t>(data.depotPrices) /
                                    static_cast<size_t>(data.purchasesPerFund);
      buys.insert(buys.end(), {days[at], "52,50", "19,0476", "1000,00"});
    }
    depot.ReplaceRows(2, std::move(buys));
    depot.ReplaceRows(4, {days.back(), "380,9520"});
  }
  if (!depot.Save().ok()) throw std::runtime_error("cannot write the depot store");

  RecordStore archive;
  Require(archive.Create(fileset::ArchiveBase(dir, data.depot), 2, fileset::kArchiveRowWidths));
  Require(archive.Open());
  const size_t first = days.size() - static_cast<size_t>(data.archivePrices);
  for (int f = 0; f < data.archiveFunds; ++f) {
    char name[64], wkn[16];
    std::snprintf(name, sizeof name, "Archivfonds %04d Renten Europa", f);
    std::snprintf(wkn, sizeof wkn, "%06d", 100000 + f);
    archive.AddRecord({name, wkn, f % 3 == 0 ? "1,0000" : "1,0300", "Euro"});
    std::vector<std::string> rows;
    rows.reserve(static_cast<size_t>(data.archivePrices) * 2);
    for (int d = 0; d < data.archivePrices; ++d) {
      rows.push_back(days[first + static_cast<size_t>(d)]);
      rows.push_back(Price(static_cast<unsigned>(f + 1000), d));
    }
    archive.ReplaceRows(1, std::move(rows));
  }
  if (!archive.Save().ok()) throw std::runtime_error("cannot write the archive store");
}

}  // namespace tellurio::bench
