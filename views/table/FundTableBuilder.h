#pragma once
// Builds the fund tables over all depots of the data directory.
//
// The table of all funds takes, for every provider whose list file names at
// least one depot, the fund archive of the first depot named there: one row
// per archived fund, with the provider as its company.  The table of the
// depot funds takes every depot that is not excluded: one row per fund of
// the depot store, with the depot and its provider.
//
// The current depot is never left: its rows come from the document's open
// stores and statistics, which are up to date.  Another depot is read into a
// depot state of its own (only the store the table needs), and its
// statistics are computed there.  So the document's current depot, its
// stores and its statistics are the same before and after a build, also
// when a depot cannot be read; such a depot is skipped and named in the
// result.  Other depots' stores are opened through `stores` (never created,
// never written), which reports a damaged or unreadable store once; depot
// names from provider lists are checked there as typed ones, and a name
// that is no valid depot name is left out.

#include <string>
#include <vector>

#include "analysis/Statistics.h"
#include "calendar/Calendar.h"
#include "portfolio/DepotState.h"
#include "portfolio/DepotStores.h"
#include "views/table/FundTable.h"

namespace tellurio {

struct FundTableResult {
  TextTable table;
  std::vector<std::string> skippedDepots;  // depots whose stores could not be read
};

// state and statistics are the document's; they are only read.
FundTableResult BuildFundTable(const TableSelection& selection, const DepotState& state, const Statistics& statistics,
                               const Calendar& calendar, DepotStores& stores);

// The text that names the skipped depots in one "Hinweis".
std::string SkippedDepotsText(const std::vector<std::string>& depots);

}  // namespace tellurio
