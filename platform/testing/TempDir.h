#pragma once
// A fresh temporary directory for one test, removed afterwards.

#include <filesystem>
#include <string>

namespace tellurio::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Whole-file helpers for assertions.
std::string ReadAll(const std::filesystem::path& p);
void WriteAll(const std::filesystem::path& p, const std::string& bytes);

}  // namespace tellurio::testing
