#pragma once
// Starting another program: without a shell, with its arguments as given,
// in a chosen working directory, and not waited for.

#include <filesystem>
#include <string>
#include <vector>

namespace tellurio {

class Process {
 public:
  virtual ~Process() = default;
  // Starts program with arguments in workingDirectory and returns at once.
  // A program name without "/" is looked up in PATH.  Returns 0 when the
  // program runs, otherwise the errno value of the failure (no such
  // program, not executable, working directory missing).
  virtual int Start(const std::string& program, const std::vector<std::string>& arguments,
                    const std::filesystem::path& workingDirectory) = 0;
};

// posix_spawn; a thread of its own collects the child's exit so that no
// zombie is left while the caller goes on.  Standard input comes from
// /dev/null.
class SpawnedProcess final : public Process {
 public:
  int Start(const std::string& program, const std::vector<std::string>& arguments,
            const std::filesystem::path& workingDirectory) override;
};

}  // namespace tellurio
