#include "storage/FileSet.h"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "platform/Codec1252.h"
#include "storage/Directory.h"

namespace tellurio::fileset {

fs::path DepotBase(const fs::path& wd, const std::string& depot) { return wd / depot; }
fs::path ArchiveBase(const fs::path& wd, const std::string& depot) {
  return wd / (std::string(kArchivePrefix) + depot);
}
fs::path ProviderList(const fs::path& wd, const std::string& provider) { return wd / (provider + ".pls"); }
fs::path PriceRoot(const fs::path& wd) { return wd / kPriceRoot; }
fs::path ProviderPriceDir(const fs::path& wd, const std::string& provider) { return PriceRoot(wd) / provider; }
fs::path PriceMonthDir(const fs::path& wd, const std::string& provider, int year, const std::string& monthName) {
  return ProviderPriceDir(wd, provider) / std::to_string(year) / monthName;
}

Status EnsurePriceDirectories(const fs::path& wd, const std::vector<std::string>& providers, int year,
                              const std::string& monthName) {
  Status first;
  auto make = [&first](const fs::path& p) {
    Status s = Directory(p).CreateDirectory();
    if (!s.ok() && first.ok()) first = s;
  };
  make(PriceRoot(wd));
  for (const std::string& p : providers) {
    make(ProviderPriceDir(wd, p));
    make(ProviderPriceDir(wd, p) / std::to_string(year));
    make(PriceMonthDir(wd, p, year, monthName));
  }
  return first;
}

namespace {
std::string Folded(const std::string& s) {
  std::string f = s;
  for (char& c : f)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return f;
}
}  // namespace

std::vector<std::string> ListDataFiles(const fs::path& wd, std::string_view extension,
                                       std::vector<std::string>* notUtf8) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(wd, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fec;
    if (!it->is_regular_file(fec)) continue;
    const std::string file = it->path().filename().string();
    if (file.size() <= extension.size() ||
        file.compare(file.size() - extension.size(), extension.size(), extension) != 0)
      continue;
    std::string name = file.substr(0, file.size() - extension.size());
    if (extension == ".dat" && name.rfind(kArchivePrefix, 0) == 0) continue;
    if (!IsValidUtf8(file)) {
      if (notUtf8) notUtf8->push_back(file);
      continue;
    }
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string fa = Folded(a), fb = Folded(b);
    return fa != fb ? fa < fb : a < b;
  });
  return names;
}

Status RemoveFile(const fs::path& path) {
  std::error_code ec;
  fs::remove(path, ec);
  if (ec && ec.value() != ENOENT) return Status::FromErrno(ec.value(), path.string());
  return Status::Ok();
}

bool IsTemporaryFileName(std::string_view name, long& pid) {
  pid = 0;
  if (name.size() < 2 || name[0] != '.') return false;
  // ".<file>.tmp-<pid>-<unique>" (files of the program, hard links kept for
  // a rollback among them) and ".<file>.laden-<pid>-<n>" (downloads).
  for (std::string_view marker : {std::string_view(".tmp-"), std::string_view(".laden-")}) {
    const size_t at = name.rfind(marker);
    if (at == std::string_view::npos || at == 0) continue;
    std::string_view rest = name.substr(at + marker.size());
    const size_t dash = rest.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == rest.size()) {
      // The form of earlier versions without a process id: ".<file>.tmp-XXXXXX".
      if (marker == ".tmp-" && dash == std::string_view::npos && rest.size() == 6) return true;
      continue;
    }
    long value = 0;
    for (char c : rest.substr(0, dash)) {
      if (c < '0' || c > '9' || value > 100000000) return false;
      value = value * 10 + (c - '0');
    }
    pid = value;
    return true;
  }
  return false;
}

namespace {

bool ProcessRuns(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

int RemoveIn(const fs::path& dir, int depth) {
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code sec;
    const fs::file_status st = it->symlink_status(sec);
    if (sec) continue;
    if (fs::is_directory(st)) {
      if (depth > 0) removed += RemoveIn(it->path(), depth - 1);
      continue;
    }
    if (!fs::is_regular_file(st)) continue;
    long pid = 0;
    if (!IsTemporaryFileName(it->path().filename().string(), pid) || ProcessRuns(pid)) continue;
    std::error_code rec;
    if (fs::remove(it->path(), rec)) ++removed;
  }
  return removed;
}

}  // namespace

int RemoveLeftoverTemporaries(const fs::path& wd) {
  // The price files lie three levels below the price root (P/JJJJ/month).
  return RemoveIn(wd, 0) + RemoveIn(PriceRoot(wd), 3);
}

}  // namespace tellurio::fileset
