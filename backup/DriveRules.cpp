#include "backup/DriveRules.h"

namespace tellurio::backup {

namespace {

constexpr const char* kBackupPossible = "Sicherung auf diesem Laufwerk ist möglich";
constexpr const char* kBackupImpossible = "Sicherung auf diesem Laufwerk ist nicht möglich";
constexpr const char* kDataFound = "Auf diesem Laufwerk wurden Sicherungsdaten gefunden";
constexpr const char* kNoDataFound = "Es wurden keine Sicherungsdaten gefunden";

// A backup needs a drive whose root can be entered and written: not an
// unknown kind, not an optical medium, not mounted read-only.
bool CanTakeBackup(const DriveEntry& d) {
  return d.typeText != kTypeUnknown && d.typeText != kTypeNoRoot && d.typeText != kTypeCdRom && !d.readOnly;
}

}  // namespace

std::string DriveTypeText(DriveType type) {
  switch (type) {
    case DriveType::Unknown:
      return kTypeUnknown;
    case DriveType::NoRoot:
      return kTypeNoRoot;
    case DriveType::Removable:
      return kTypeRemovable;
    case DriveType::Fixed:
      return kTypeFixed;
    case DriveType::Remote:
      return kTypeRemote;
    case DriveType::CdRom:
      return kTypeCdRom;
    case DriveType::RamDisk:
      return kTypeRamDisk;
  }
  return kTypeUnknown;
}

std::vector<DriveEntry> DriveEntries(const Drives& drives) {
  std::vector<DriveEntry> out;
  for (const Drive& d : drives.List()) out.push_back(DriveEntry{d.root, DriveTypeText(d.type), d.readOnly});
  return out;
}

std::string TypeDisplay(const DriveEntry& drive) {
  return drive.readOnly ? drive.typeText + " (schreibgeschützt)" : drive.typeText;
}

BackupDriveRules::BackupDriveRules(Prompter& prompter, std::vector<DriveEntry> drives)
    : prompter_(prompter), drives_(std::move(drives)) {
  Opening();
}

void BackupDriveRules::Choose(int index) {
  view_ = View{};
  chosen_.clear();
  possible_ = false;
  if (index < 0 || index >= static_cast<int>(drives_.size())) {
    view_.status = kBackupImpossible;
    return;
  }
  const DriveEntry& d = drives_[static_cast<size_t>(index)];
  view_.selected = index;
  chosen_ = d.root;
  view_.chosenDrive = d.root.string();
  view_.typeText = TypeDisplay(d);
  possible_ = CanTakeBackup(d);
  view_.status = possible_ ? kBackupPossible : kBackupImpossible;
}

BackupDriveRules::View BackupDriveRules::Opening() {
  Choose(0);
  return view_;
}

BackupDriveRules::View BackupDriveRules::SelectionChanged(int index) {
  Choose(index);
  return view_;
}

DialogStep BackupDriveRules::Ok() {
  if (possible_) return DialogStep::Accept;
  prompter_.Show(Message{kMessageTitle,
                         "Sie können auf dem ausgewählten Laufwerk keine Daten sichern !!\n"
                         "Wählen Sie bitte ein anderes Laufwerk aus.",
                         MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
  Opening();
  return DialogStep::Stay;
}

RestoreDriveRules::RestoreDriveRules(Prompter& prompter, std::vector<DriveEntry> drives, GenerationProbe probe)
    : prompter_(prompter), drives_(std::move(drives)), probe_(std::move(probe)) {
  Opening();
}

void RestoreDriveRules::Search(const DriveEntry& drive) {
  const GenerationsFound g = probe_(drive.root);
  if (!g.rootAccessible || (!g.father && !g.son)) {
    view_.result = kNoDataFound;
    possible_ = false;
    return;
  }
  view_.found = g.father && g.son ? std::string(kFather) + "\n" + kSon : g.father ? kFather : kSon;
  view_.result = kDataFound;
}

RestoreDriveRules::View RestoreDriveRules::Opening() {
  view_ = View{};
  chosen_.clear();
  possible_ = false;
  if (drives_.empty()) {
    view_.result = kNoDataFound;
    return view_;
  }
  const DriveEntry& d = drives_.front();
  view_.selected = 0;
  chosen_ = d.root;
  view_.typeText = TypeDisplay(d);
  possible_ = true;
  // Only a local disk is searched at once; other drives may be slow to wake
  // or hold no medium until the user picks them.
  if (d.typeText == kTypeFixed) Search(d);
  return view_;
}

RestoreDriveRules::View RestoreDriveRules::SelectionChanged(int index) {
  view_ = View{};
  chosen_.clear();
  possible_ = false;
  if (index < 0 || index >= static_cast<int>(drives_.size())) return view_;
  const DriveEntry& d = drives_[static_cast<size_t>(index)];
  view_.selected = index;
  chosen_ = d.root;
  view_.typeText = TypeDisplay(d);
  possible_ = true;
  if (d.typeText == kTypeUnknown || d.typeText == kTypeNoRoot) {
    possible_ = false;
    return view_;
  }
  Search(d);
  return view_;
}

DialogStep RestoreDriveRules::Ok() {
  if (possible_) return DialogStep::Accept;
  prompter_.Show(Message{kMessageTitle,
                         "Auf dem ausgewählten Laufwerk sind keine Sicherungsdaten vorhanden !!\n"
                         "Der Vorgang wird abgebrochen.",
                         MessageButtons::Ok, MessageIcon::Stop, BeepKind::Stop});
  return DialogStep::Cancel;
}

}  // namespace tellurio::backup
