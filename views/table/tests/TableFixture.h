#pragma once
// A data directory of three depots for the table tests, with the document's
// part of the state (current depot "Alpha", its stores open, statistics
// computed):
//
//   provider "Bank":  depots "Alpha", "Beta";   provider "Kasse": depot "Gamma"
//   Alpha: "Fonds A" (holding 10,5000), "Fonds B" (no holding)
//          archive "Archiv X", "Archiv Y"
//   Beta:  "Fonds A" (holding 2,2500)           archive "Nur Beta"
//   Gamma: "Fonds C" (currency DM, holding 4)   archive "Archiv Z"
//
// "Fonds A" has the prices 100 (15.06.2000), 110 (15.06.2001), 120
// (14.06.2002), 140 (15.05.2003) and 160 (16.06.2003): yearly averages 100,
// 110, 120, 150 and, for the last two months, 140 and 160.  "Fonds B" has
// prices in two years only.  Today is 01.07.2003.

#include <memory>
#include <string>
#include <vector>

#include "analysis/Statistics.h"
#include "calendar/Calendar.h"
#include "platform/Clock.h"
#include "platform/testing/RecordingPrompter.h"
#include "platform/testing/TempDir.h"
#include "portfolio/DepotState.h"
#include "portfolio/DepotStores.h"

namespace tellurio::testing {

struct FundSpec {
  std::string name, wkn, factor, currency;
  std::vector<std::string> prices;  // date, price, ...
  std::string holding;              // shares; "" for no holdings row
};

// Writes a depot store (6 sections) or a fund archive store (2 sections).
void WriteStore(const std::filesystem::path& base, bool depotStore, const std::vector<FundSpec>& funds);

struct TableFixture {
  TempDir dir;
  FixedClock clock{CivilDate{2003, 7, 1}};
  Calendar calendar{clock};
  DepotState state;
  std::unique_ptr<Statistics> statistics;
  RecordingPrompter prompter;
  DepotStores stores{prompter, calendar};

  TableFixture();
  // Opens the stores of the current depot and recomputes both scopes.
  void Load();
};

}  // namespace tellurio::testing
