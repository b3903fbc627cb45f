#pragma once
// The data directory of the table benchmarks: one provider with two depots
// of the large data, the first depot current with its two stores open, as
// the program has it before the table view opens.

#include <filesystem>

#include "portfolio/DepotState.h"
#include "storage/RecordStore.h"

namespace tellurio::bench {

inline constexpr const char* kTableProvider = "Grossbank";
inline constexpr const char* kTableDepots[2] = {"Grossdepot", "Zweitdepot"};

// Opens a depot store (six sections) or a fund archive (two) afresh.
void OpenStore(RecordStore& s, const std::filesystem::path& base, bool depot);

// Generates both depots and the provider's depot list in dir, and fills
// state with the first depot current and its stores open.
void PrepareTableData(const std::filesystem::path& dir, DepotState& state);

}  // namespace tellurio::bench
