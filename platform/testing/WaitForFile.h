#pragma once
// Waiting for a file that another process makes, without polling: the
// directory is watched (inotify) and the wait wakes when an entry is
// created or moved into it.

#include <chrono>
#include <filesystem>

namespace tellurio::testing {

// True once file exists (at once when it already does); false when it has
// not appeared within timeout or its directory cannot be watched.
bool WaitForFile(const std::filesystem::path& file, std::chrono::milliseconds timeout);

}  // namespace tellurio::testing
