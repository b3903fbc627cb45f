#pragma once
// A ready-made data directory for trying the program out: a few depots under
// two fund providers, each provider linked to a provider of the demo price
// publisher, with the price directory tree, so the main window opens at once.

#include <filesystem>
#include <string>
#include <vector>

#include "calendar/Calendar.h"

namespace demo {
struct Fund;
}
#include "storage/Status.h"

namespace tellurio::demo {

struct DemoDepot {
  std::string depot;
  std::string provider;     // the user's provider name
  std::string webProvider;  // the web library's display name
};

// The depots the demo directory holds, in order of creation.
const std::vector<DemoDepot>& DemoDepots();

struct DemoFund {
  std::string name;
  std::string wkn;
  std::string surchargeFactor;
  std::string currency;
  bool archived;               // in the depot's fund archive instead of the depot
  const ::demo::Fund* source;  // the publisher's fund it stands for
};

// The funds of a demo depot.
std::vector<DemoFund> DemoFunds(const std::string& depot);

// The fund's daily prices as the demo publisher quotes them: date, price
// pairs for the last `days` business days up to the previous business day
// of the calendar's today (none before the fund's launch).
std::vector<std::string> DemoPrices(const Calendar& calendar, const DemoFund& fund, int days);

// Creates dir (and its parents) and writes the demo files into it.  Existing
// depots and funds are left as they are; the provider lists and "anb.dbk"
// gain what is missing.  The calendar's today gives the price directories
// and the last price day.
Status WriteDemoDataDirectory(const std::filesystem::path& dir, const Calendar& calendar);

}  // namespace tellurio::demo
