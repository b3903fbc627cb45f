#pragma once
// A ready-made data directory for trying the program out: a few depots under
// two fund providers, each provider linked to a provider of the demo price
// publisher, with the price directory tree, so the main window opens at once.

#include <filesystem>
#include <string>
#include <vector>

#include "storage/Status.h"

namespace tellurio::demo {

struct DemoDepot {
  std::string depot;
  std::string provider;     // the user's provider name
  std::string webProvider;  // the web library's display name
};

// The depots the demo directory holds, in order of creation.
const std::vector<DemoDepot>& DemoDepots();

// Creates dir (and its parents) and writes the demo files into it.  Existing
// depots are left as they are; the provider lists and "anb.dbk" gain what is
// missing.  today gives the year and month of the price directories.
Status WriteDemoDataDirectory(const std::filesystem::path& dir, int year, const std::string& monthName);

}  // namespace tellurio::demo
