#pragma once
// The drive dialogs "Datensicherung" and "Datenrücksicherung" without
// widgets: which drive is chosen, what the displays show after each choice,
// whether the drive can be used, and the messages that OK gives.  The Qt
// dialogs forward their events here and show what the answer says.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "backup/Generations.h"
#include "platform/DialogStep.h"
#include "platform/Drives.h"
#include "platform/Prompter.h"

namespace tellurio::backup {

inline constexpr const char* kMessageTitle = "Hinweis von Vaskor";

// The type texts of the drive dialogs.
inline constexpr const char* kTypeUnknown = "unbekannter Laufwerkstyp";
inline constexpr const char* kTypeNoRoot = "Kein DOS-Laufwerk";
inline constexpr const char* kTypeRemovable = "Wechseldatenträger";
inline constexpr const char* kTypeFixed = "Festplattenlaufwerk";
inline constexpr const char* kTypeRemote = "Netzwerklaufwerk";
inline constexpr const char* kTypeCdRom = "CD-ROM";
inline constexpr const char* kTypeRamDisk = "RAM-Disk";

std::string DriveTypeText(DriveType type);

// A drive as the dialogs list it.
struct DriveEntry {
  std::filesystem::path root;
  std::string typeText;
  bool readOnly = false;
  bool operator==(const DriveEntry&) const = default;
};

// The drives of the machine in the order of the list.
std::vector<DriveEntry> DriveEntries(const Drives& drives);

// What the type display shows: the type text, marked when the drive is
// mounted read-only (a state the type alone does not tell).
std::string TypeDisplay(const DriveEntry& drive);

// "Datensicherung".
class BackupDriveRules {
 public:
  struct View {
    int selected = -1;        // the combo box entry; -1 when there is no drive
    std::string typeText;     // the drive-type display
    std::string chosenDrive;  // the chosen-drive display
    std::string status;       // "Sicherung auf diesem Laufwerk ist (nicht) möglich"
    bool operator==(const View&) const = default;
  };

  BackupDriveRules(Prompter& prompter, std::vector<DriveEntry> drives);

  const std::vector<DriveEntry>& drives() const { return drives_; }
  // The first drive chosen.
  View Opening();
  View SelectionChanged(int index);
  // Accept when the chosen drive can take a backup; otherwise the refusal is
  // shown and the dialog returns to its opening state (Stay, see view()).
  DialogStep Ok();
  const View& view() const { return view_; }
  const std::filesystem::path& Chosen() const { return chosen_; }
  // Whether the chosen drive can take a backup.
  bool Possible() const { return possible_; }

 private:
  void Choose(int index);
  Prompter& prompter_;
  std::vector<DriveEntry> drives_;
  View view_;
  std::filesystem::path chosen_;
  bool possible_ = false;
};

// Looks for the generations on a drive root.
using GenerationProbe = std::function<GenerationsFound(const std::filesystem::path& root)>;

// "Datenrücksicherung".
class RestoreDriveRules {
 public:
  struct View {
    int selected = -1;
    std::string typeText;  // the drive-type text
    std::string found;     // the generations found: "Vater", "Sohn" or both on two lines
    std::string result;    // "Auf diesem Laufwerk wurden Sicherungsdaten gefunden" or the opposite
    bool operator==(const View&) const = default;
  };

  RestoreDriveRules(Prompter& prompter, std::vector<DriveEntry> drives, GenerationProbe probe);

  const std::vector<DriveEntry>& drives() const { return drives_; }
  View Opening();
  View SelectionChanged(int index);
  // Accept when the drive may hold backup data; otherwise the refusal is
  // shown and the dialog closes as cancelled.
  DialogStep Ok();
  const View& view() const { return view_; }
  const std::filesystem::path& Chosen() const { return chosen_; }

 private:
  void Search(const DriveEntry& drive);
  Prompter& prompter_;
  std::vector<DriveEntry> drives_;
  GenerationProbe probe_;
  View view_;
  std::filesystem::path chosen_;
  bool possible_ = false;
};

}  // namespace tellurio::backup
