#pragma once
// A file that is written beside its target and replaces the target only on
// Commit: until then, and whenever something fails, the target keeps its old
// content (or stays absent).  Whatever the outcome, the temporary file is
// gone when the object is destroyed.

#include <filesystem>
#include <string>
#include <string_view>

namespace marabu {

class StagedFile {
 public:
  StagedFile() = default;
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Creates the temporary file in the target's directory.  False, with
  // error() set, when it cannot be created (for example a missing directory).
  bool Create(const std::filesystem::path& target);

  // Appends the bytes; false, with error() set, when the write fails.
  bool Write(std::string_view bytes);

  // Flushes the data to disk and renames the temporary file over the target.
  // False, with error() set, when any step fails; the target is then unchanged.
  bool Commit();

  // errno of the first failure.
  int error() const { return error_; }

 private:
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace marabu
