#include "bench/DataGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "bench/BenchUtil.h"
#include "platform/Clock.h"
#include "storage/FileSet.h"
#include "storage/ListFile.h"
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

// A small deterministic generator (splitmix64), one stream per fund, so
// every run writes the same data.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x1234567ull) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
  // Roughly normal with mean 0 and deviation 1 (sum of twelve uniforms).
  double Normal() {
    double sum = -6.0;
    for (int i = 0; i < 12; ++i) sum += Uniform();
    return sum;
  }
  int Between(int low, int high) { return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1)); }

 private:
  std::uint64_t state_;
};

// A number text with a decimal comma, cut (not rounded) to `decimals`
// places, as the program writes amounts, prices and share counts.
std::string Text(double value, int decimals) {
  long long scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const long long units = static_cast<long long>(std::floor(value * static_cast<double>(scale) + 1e-9));
  char buf[48];
  if (decimals == 0) {
    std::snprintf(buf, sizeof buf, "%lld", units);
  } else {
    std::snprintf(buf, sizeof buf, "%lld,%0*lld", units / scale, decimals, units % scale);
  }
  return buf;
}

// A fund's daily prices: a random walk of daily returns of about 1,2 %
// with a slight upward drift, kept between 5 and 500, in cents.
std::vector<double> PriceWalk(std::uint64_t fund, int days) {
  Random r(fund);
  std::vector<double> prices(static_cast<size_t>(days));
  double p = 10.0 + 290.0 * r.Uniform();
  for (double& v : prices) {
    p *= std::exp(0.0003 + 0.012 * r.Normal());
    if (p < 5.0) p = 10.0 - p;
    if (p > 500.0) p = 1000.0 - p;
    v = std::floor(p * 100.0) / 100.0;
  }
  return prices;
}

struct Trades {
  std::vector<std::string> purchases;  // rows of 4 values
  std::vector<std::string> sales;      // rows of 4 values
  std::string lastDate;
  double shares = 0;
};

// What a private investor does with a fund over the years: every fourth
// fund is a monthly savings plan (a rate of 50 to 300 about every 21
// business days), the others get `oneOffs` purchases of 500 to 5.000 spread
// over their history; every third fund is partly sold twice.  Issue price
// = price x surcharge factor, shares = amount / issue price, as the buy
// dialog books them.
Trades MakeTrades(int fund, const std::vector<std::string>& days, size_t first, const std::vector<double>& prices,
                  double surcharge, int oneOffs) {
  Random r(static_cast<std::uint64_t>(fund) + 7000);
  const size_t count = prices.size();
  std::vector<std::pair<size_t, bool>> events;  // (day index, sale)
  if (fund % 4 == 0) {
    for (size_t d = static_cast<size_t>(r.Between(0, 20)); d < count; d += 21) events.push_back({d, false});
  } else {
    for (int i = 0; i < oneOffs; ++i)
      events.push_back({static_cast<size_t>(i) * count / static_cast<size_t>(std::max(oneOffs, 1)) +
                            static_cast<size_t>(r.Between(0, 5)) % count,
                        false});
  }
  if (fund % 3 == 0) {
    events.push_back({count * 2 / 3, true});
    events.push_back({count - 10, true});
  }
  std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  Trades t;
  for (const auto& [at, sale] : events) {
    if (at >= count) continue;
    const double price = prices[at];
    const std::string& date = days[first + at];
    if (!sale) {
      const double amount = fund % 4 == 0 ? 50.0 * r.Between(1, 6) : 50.0 * r.Between(10, 100);
      const double issue = std::floor(price * surcharge * 100.0 + 1e-9) / 100.0;
      const double shares = std::floor(amount / issue * 10000.0 + 1e-9) / 10000.0;
      t.purchases.insert(t.purchases.end(), {date, Text(issue, 2), Text(shares, 4), Text(amount, 2)});
      t.shares += shares;
    } else {
      if (t.shares <= 0) continue;
      const double shares = std::floor(t.shares * (0.2 + 0.2 * r.Uniform()) * 10000.0) / 10000.0;
      const double amount = std::floor(shares * price * 100.0) / 100.0;
      t.sales.insert(t.sales.end(), {date, Text(price, 2), Text(shares, 4), Text(amount, 2)});
      t.shares -= shares;
    }
    t.lastDate = date;
  }
  return t;
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
    const char* surcharge = f % 6 == 5 ? "1,0000" : "1,0500";
    depot.AddRecord({name, wkn, surcharge, f % 5 == 0 ? "DM" : "Euro"});
    const std::vector<double> prices = PriceWalk(static_cast<std::uint64_t>(f), data.depotPrices);
    std::vector<std::string> rows;
    rows.reserve(static_cast<size_t>(data.depotPrices) * 2);
    const size_t first = days.size() - static_cast<size_t>(data.depotPrices);
    for (int d = 0; d < data.depotPrices; ++d) {
      rows.push_back(days[first + static_cast<size_t>(d)]);
      rows.push_back(Text(prices[static_cast<size_t>(d)], 2));
    }
    depot.ReplaceRows(1, std::move(rows));
    Trades trades = MakeTrades(f, days, first, prices, f % 6 == 5 ? 1.0 : 1.05, data.purchasesPerFund);
    depot.ReplaceRows(2, std::move(trades.purchases));
    depot.ReplaceRows(3, std::move(trades.sales));
    if (!trades.lastDate.empty()) depot.ReplaceRows(4, {trades.lastDate, Text(trades.shares, 4)});
  }
  if (!depot.Save().ok()) throw std::runtime_error("cannot write the depot store");

  RecordStore archive;
  Require(archive.Create(fileset::ArchiveBase(dir, data.depot), 2, fileset::kArchiveRowWidths));
  Require(archive.Open());
  const size_t first = days.size() - static_cast<size_t>(data.archivePrices);
  for (int f = 0; f < data.archiveFunds; ++f) {
    archive.AddRecord({NameOfArchiveFund(f), WknOfArchiveFund(f), f % 3 == 0 ? "1,0000" : "1,0300", "Euro"});
    std::vector<std::string> rows;
    rows.reserve(static_cast<size_t>(data.archivePrices) * 2);
    const std::vector<double> prices = PriceWalk(static_cast<std::uint64_t>(f) + 1000, data.archivePrices);
    for (int d = 0; d < data.archivePrices; ++d) {
      rows.push_back(days[first + static_cast<size_t>(d)]);
      rows.push_back(Text(prices[static_cast<size_t>(d)], 2));
    }
    archive.ReplaceRows(1, std::move(rows));
  }
  if (!archive.Save().ok()) throw std::runtime_error("cannot write the archive store");
}

std::string WknOfArchiveFund(int f) {
  char wkn[16];
  std::snprintf(wkn, sizeof wkn, "%06d", 100000 + f);
  return wkn;
}

std::string NameOfArchiveFund(int f) {
  char name[64];
  std::snprintf(name, sizeof name, "Archivfonds %04d Renten Europa", f);
  return name;
}

fs::path WritePortraitFile(const fs::path& dir, const LargeData& data, long lines) {
  const fs::path file = dir / "portrait.txt";
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) throw std::runtime_error("cannot write " + file.string());
  const long perFund = lines / data.archiveFunds;
  long written = 0;
  for (int f = 0; f < data.archiveFunds; ++f) {
    std::fprintf(out,
                 "Archivfonds %04d Renten Europa\r\nRentenbank Europa AG\r\n%s\r\nRentenfonds Europa\r\n"
                 "keine Angaben\r\nRentenbank Invest GmbH\r\n%d,%d\r\n%d,%02d\r\n3,00%%\r\nEUR\r\n***\r\n"
                 "Der Fonds investiert in Anleihen europaeischer Staaten und Unternehmen guter Bonitaet.\r\n",
                 f, WknOfArchiveFund(f).c_str(), 100 + f % 900, f % 10, 20 + f % 80, f % 100);
    written += 12;
    for (int i = 0; written < (f + 1) * perFund - 1; ++i, ++written)
      std::fprintf(out, i % 3 == 0 ? "Position %d AG\r\n" : "%d,%d\r\n", (f * 31 + i) % 97, i % 10);
    std::fprintf(out, "Wertentwicklung\r\n");
    ++written;
  }
  if (std::fclose(out) != 0) throw std::runtime_error("cannot write " + file.string());
  return file;
}

void GenerateProgramDirectory(const fs::path& dir, const LargeData& data, const std::string& today) {
  GenerateLargeDataDirectory(dir, data);
  LargeData small = data;
  small.depot = kSmallDepot;
  small.depotFunds = 5;
  small.depotPrices = 250;
  small.archiveFunds = 20;
  small.archivePrices = 250;
  small.purchasesPerFund = 3;
  GenerateLargeDataDirectory(dir, small);
  auto require = [](const Status& s) {
    if (!s.ok()) throw std::runtime_error(s.Describe());
  };
  require(WriteListFile(fileset::ProviderList(dir, kLargeProvider), {data.depot, kSmallDepot}));
  require(WriteListFile(dir / fileset::kProviderAssignments, {kLargeProvider, "Deka"}));
  // Twenty years of DAX closes, the last one today.
  std::vector<std::string> dax;
  for (int back = 5000; back >= 1; --back) {
    dax.push_back(BusinessDayBefore(back));
    dax.push_back(Text(5000.0 + back % 977, 2));
  }
  dax.push_back(today);
  dax.push_back("15000,00");
  require(WriteListFile(dir / fileset::kDaxHistory, dax));
  WritePortraitFile(dir, data, 600000);
}

}  // namespace tellurio::bench
