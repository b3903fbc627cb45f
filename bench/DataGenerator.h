#pragma once
// Writes a large data directory with the program's own record store, for the
// benchmarks: a depot store with long-held funds and a fund archive store
// with thousands of funds, as years of daily downloads leave them.

#include <filesystem>
#include <string>

namespace tellurio::bench {

struct LargeData {
  std::string depot = "Grossdepot";
  int archiveFunds = 3000;
  int archivePrices = 781;
  int depotFunds = 50;
  int depotPrices = 5000;
  // One-off purchases of each fund that is not a monthly savings plan.
  int purchasesPerFund = 20;
};

// Creates (or replaces) the stores of `data.depot` in dir.  The last price
// date of every fund is the business day before 01.12.2026.  Prices are a
// bounded random walk (about 5 to 500) with two decimals; purchases and
// sales are booked as the buy and sell dialogs book them (monthly savings
// plans, one-off purchases, partial sales), with a matching holding row.
// Every run writes the same data.
void GenerateLargeDataDirectory(const std::filesystem::path& dir, const LargeData& data);

// The business day `back` days before 01.12.2026 (back = 0 is 30.11.2026), as
// "TT.MM.JJJJ"; and the business day after a date text.
std::string BusinessDayBefore(int back);
std::string NextBusinessDay(const std::string& date);

}  // namespace tellurio::bench
