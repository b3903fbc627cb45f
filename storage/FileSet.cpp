#include "storage/FileSet.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

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

std::vector<std::string> ListDataFiles(const fs::path& wd, std::string_view extension) {
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

}  // namespace tellurio::fileset
