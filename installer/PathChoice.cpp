#include "installer/PathChoice.h"

#include <algorithm>

#include "installer/InstallControl.h"

namespace tellurio {

namespace fs = std::filesystem;

namespace {

// "/a/b/" and "/a/b" alike; "/" stays "/".
fs::path Normal(const fs::path& p) {
  fs::path n = p.lexically_normal();
  if (n.has_relative_path() && !n.has_filename()) n = n.parent_path();
  return n;
}

bool IsAbove(const fs::path& root, const fs::path& path) {
  const fs::path rel = Normal(path).lexically_relative(Normal(root));
  return !rel.empty() && *rel.begin() != "..";
}

// The nearest directory at or above p that exists.
fs::path ExistingAncestor(fs::path p) {
  std::error_code ec;
  while (!p.empty() && !fs::is_directory(p, ec)) {
    if (p == p.root_path()) break;
    p = p.parent_path();
  }
  return p;
}

}  // namespace

std::string DriveTypeText(DriveType type) {
  switch (type) {
    case DriveType::Unknown:
      return "unbekanntes Laufwerk";
    case DriveType::NoRoot:
      return "kein Zugriff möglich";
    case DriveType::Removable:
      return "Wechseldatenträger";
    case DriveType::Fixed:
      return "Festplattenlaufwerk";
    case DriveType::Remote:
      return "Netzwerklaufwerk";
    case DriveType::CdRom:
      return "CD-ROM Laufwerk";
    case DriveType::RamDisk:
      return "RAM-Disk";
  }
  return "unbekanntes Laufwerk";
}

bool CanInstallOn(const Drive& drive) {
  return (drive.type == DriveType::Fixed || drive.type == DriveType::Remote) && !drive.readOnly;
}

int DriveOf(const std::vector<Drive>& drives, const fs::path& path) {
  int best = -1;
  size_t bestLength = 0;
  for (size_t i = 0; i < drives.size(); ++i) {
    const fs::path root = Normal(drives[i].root);
    if (!IsAbove(root, path)) continue;
    if (best < 0 || root.native().size() > bestLength) {
      best = static_cast<int>(i);
      bestLength = root.native().size();
    }
  }
  return best;
}

PathChoice::PathChoice(Prompter& prompter, const Drives& drives, const fs::path& currentTarget)
    : prompter_(prompter), drives_(drives.List()), pathText_(currentTarget.string()) {
  currentDrive_ = DriveOf(drives_, currentTarget);
  browsing_ = ExistingAncestor(Normal(currentTarget).parent_path());
  if (browsing_.empty()) browsing_ = currentDrive_ >= 0 ? drives_[currentDrive_].root : fs::path("/");
}

std::string PathChoice::DriveLabel(size_t index) const {
  return drives_[index].root.string() + "   (" + DriveTypeText(drives_[index].type) + ")";
}

std::vector<std::string> PathChoice::Directories() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(browsing_, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.empty() || name[0] == '.' || !it->is_directory(typeError)) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  if (browsing_ != browsing_.root_path()) names.insert(names.begin(), "..");
  return names;
}

void PathChoice::Refuse(const std::string& drive) {
  prompter_.Show(Message{"Fehler", "Auf dem Laufwerk " + drive + " kann das Programm nicht installiert werden.",
                         MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
}

bool PathChoice::ChooseDrive(int index) {
  if (index < 0 || static_cast<size_t>(index) >= drives_.size()) return false;
  const Drive& d = drives_[static_cast<size_t>(index)];
  if (!CanInstallOn(d)) {
    Refuse(d.root.string());
    return false;
  }
  currentDrive_ = index;
  browsing_ = d.root;
  pathText_ = (d.root / kProgramFolder).string();
  return true;
}

void PathChoice::OpenDirectory(const std::string& name) {
  if (name == "..") {
    browsing_ = browsing_.parent_path();
  } else if (!name.empty()) {
    browsing_ = browsing_ / name;
  }
  pathText_ = (browsing_.filename() == kProgramFolder ? browsing_ : browsing_ / kProgramFolder).string();
}

DialogStep PathChoice::Ok() {
  const fs::path p(pathText_);
  if (!p.is_absolute() || Normal(p) == p.root_path()) {
    prompter_.Show(Message{"Fehler",
                           "Bitte geben Sie den vollständigen Installationspfad an, zum Beispiel\n" +
                               (fs::path("/opt") / kProgramFolder).string() + ".",
                           MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
    return DialogStep::Stay;
  }
  const int drive = DriveOf(drives_, p);
  if (drive < 0 || !CanInstallOn(drives_[static_cast<size_t>(drive)])) {
    Refuse(drive < 0 ? p.root_path().string() : drives_[static_cast<size_t>(drive)].root.string());
    return DialogStep::Stay;
  }
  chosen_ = Normal(p);
  return DialogStep::Accept;
}

}  // namespace tellurio
