#pragma once
// Process for tests: records every start and starts nothing.  A program
// listed in missing fails to start with ENOENT.

#include <cerrno>
#include <set>

#include "platform/Process.h"

namespace tellurio::testing {

class FakeProcess final : public Process {
 public:
  struct Started {
    std::string program;
    std::vector<std::string> arguments;
    std::filesystem::path workingDirectory;
    bool operator==(const Started&) const = default;
  };
  std::vector<Started> started;
  std::set<std::string> missing;

  int Start(const std::string& program, const std::vector<std::string>& arguments,
            const std::filesystem::path& workingDirectory) override {
    if (missing.count(program)) return ENOENT;
    started.push_back({program, arguments, workingDirectory});
    return 0;
  }
};

}  // namespace tellurio::testing
