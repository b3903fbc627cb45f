#pragma once
// The fund portrait file "portrait.txt": one block of lines per fund, found
// through the line holding the fund's WKN (the block's third line), and the
// portrait index that maps fund names to the first line of their block.
//
// Block entries (one per line, from 0): 0 name, 1 company, 2 WKN, 3 asset
// class, 4 management, 5 investment company, 6 volume in million euro,
// 7 price, 8 issue surcharge, 9 fund currency, 10 rating, 11 strategy,
// 12..18 the fund's performance for the seven periods, 19 the name of the
// comparison row, 20..26 its performance, 27.. the largest positions (name
// and share per position, or "Keine Angaben"), then the chart data after a
// line holding "Wertentwicklung":
//
//   reference name
//   N                     number of points
//   N labels              "MM/JJJJ"
//   N values              the fund's performance in %
//   N values              the reference's performance in %
//   Konkurrenzanalyse
//   N values              the best fund of the group
//   N values              the worst fund of the group

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/Status.h"

namespace tellurio {

// A fund of a depot or fund archive with its WKN, as the index is built from.
struct PortraitFund {
  std::string name;
  std::string wkn;
};

// One entry of the portrait index: the fund and the line (from 0) where its
// block starts.
struct PortraitEntry {
  std::string fund;
  long line = 0;

  bool operator==(const PortraitEntry&) const = default;
};
using PortraitIndex = std::vector<PortraitEntry>;

// The block size the portrait file is read in: small enough to stay in the
// processor's cache and to be taken from memory the program already has.
inline constexpr size_t kPortraitReadBytes = size_t{64} << 10;

// For every text, the first line (from 0) of the file that contains it, or
// -1 when none does.  One pass over the file for all texts (UTF-8; the file
// is code page 1252); the file is read in blocks of blockBytes, so memory
// stays bounded whatever its size, and reading stops once every text is
// found.  A file of four blocks or more is read in two halves at once (cut
// after a line feed), the first half's finds taking precedence.  An empty
// text is never found.  *lines (when given) receives the number of lines
// read.
std::vector<long> FirstLinesContaining(const std::filesystem::path& file, const std::vector<std::string>& texts,
                                       Status* status = nullptr, size_t blockBytes = kPortraitReadBytes,
                                       long* lines = nullptr);

// The index for these funds in their order: a fund whose WKN occurs in the
// file is entered with the start of the block around the first line holding
// it (two lines before it, the first line of the file at the least); a fund
// without WKN, or whose WKN is not in the file, is left out.  A fund listed
// twice (held in two depots) is entered twice.
PortraitIndex IndexPortraits(const std::vector<PortraitFund>& funds, const std::filesystem::path& file,
                             Status* status = nullptr, size_t blockBytes = kPortraitReadBytes);

// Up to count lines of the file from line `first` on, in UTF-8.
std::vector<std::string> ReadLinesFrom(const std::filesystem::path& file, long first, size_t count);

inline constexpr size_t kPortraitBlockLines = 512;
inline const std::array<const char*, 7> kPerformancePeriods = {"1 Monat", "6 Monate", "lfd.Jahr",  "1 Jahr",
                                                               "3 Jahre", "5 Jahre",  "seit.Aufl."};

// The chart data of a block.  All series have the length of labels.
struct PortraitCharts {
  bool present = false;  // a "Wertentwicklung" line was found
  std::string referenceName;
  std::vector<std::string> labels;
  std::vector<double> fund, reference, best, worst;
};

// One block as the portrait dialog shows it.  Entries the block does not
// hold are empty texts.
struct PortraitBlock {
  std::array<std::string, 11> master;                // entries 0..10
  std::string strategy;                              // entry 11
  std::array<std::string, 7> fundPerformance;        // entries 12..18
  std::string comparisonName;                        // entry 19
  std::array<std::string, 7> comparisonPerformance;  // entries 20..26
  std::vector<std::string> positions;                // entries 27.. up to the chart data
  PortraitCharts charts;
};

// Reads a block from its lines (the kPortraitBlockLines lines from its first
// line on; later blocks in them are not looked at beyond the chart data).
PortraitBlock ParsePortraitBlock(const std::vector<std::string>& lines);

// A cell of the performance table: " %" after a number, "0.00 %" for a
// zero, and the text itself ("k.A.") when it is no number.
std::string PerformanceCell(const std::string& entry);

}  // namespace tellurio
