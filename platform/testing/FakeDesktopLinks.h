#pragma once
// DesktopLinks for tests: writes the real files (so that tests can read and
// validate them) but fails with a chosen errno for the files listed in
// failing.

#include <map>

#include "platform/DesktopLinks.h"

namespace tellurio::testing {

class FakeDesktopLinks final : public DesktopLinks {
 public:
  std::map<std::string, int> failing;  // file name -> errno value

  int Save(const ShellLink& link, const std::filesystem::path& folder, const std::string& file) override {
    if (auto it = failing.find(file); it != failing.end()) return it->second;
    return real_.Save(link, folder, file);
  }

 private:
  DesktopEntryFiles real_;
};

}  // namespace tellurio::testing
