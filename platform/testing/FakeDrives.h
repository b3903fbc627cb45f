#pragma once
// A drive list for tests: the drives and their free space are what the test
// sets; roots are usually temporary directories.

#include <map>

#include "platform/Drives.h"

namespace tellurio::testing {

class FakeDrives final : public Drives {
 public:
  std::vector<Drive> drives;
  // Free space by root; a directory inside a root has the root's space.
  // A root without an entry has a terabyte free.
  std::map<std::filesystem::path, std::uint64_t> freeSpace;

  std::vector<Drive> List() const override { return drives; }
  std::optional<std::uint64_t> FreeSpace(const std::filesystem::path& dir) const override {
    std::error_code ec;
    if (!std::filesystem::exists(dir, ec)) return std::nullopt;
    const std::filesystem::path* best = nullptr;
    for (const auto& [root, bytes] : freeSpace) {
      const auto rel = dir.lexically_relative(root);
      if (!rel.empty() && *rel.begin() != ".." && (!best || root.native().size() > best->native().size())) best = &root;
    }
    if (best) return freeSpace.at(*best);
    return std::uint64_t{1} << 40;
  }
};

}  // namespace tellurio::testing
