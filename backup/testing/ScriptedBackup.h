#pragma once
// Doubles for the surroundings of the backup commands: drive dialogs that
// answer from a script, and a document that records the reload.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "backup/BackupCommands.h"

namespace tellurio::backup::testing {

class ScriptedBackupDialogs final : public BackupDialogs {
 public:
  // The drive each dialog returns, in order; nothing = cancelled.
  std::deque<std::optional<fs::path>> backupChoices, restoreChoices;
  std::vector<std::vector<DriveEntry>> shownDrives;  // what each dialog listed

  std::optional<fs::path> ChooseBackupDrive(const std::vector<DriveEntry>& drives) override;
  std::optional<fs::path> ChooseRestoreDrive(const std::vector<DriveEntry>& drives,
                                             const GenerationProbe& probe) override;
};

class RecordingBackupHost final : public BackupHost {
 public:
  fs::path wd;
  std::vector<std::string> depots, providers;
  int reloads = 0;
  // Names refused as the document's own checks would.
  std::vector<std::string> refusedNames;

  fs::path WorkingDirectory() const override { return wd; }
  std::vector<std::string> DepotNames() const override { return depots; }
  std::vector<std::string> ProviderNames() const override { return providers; }
  std::optional<std::string> RefuseName(const std::string& name, bool depot) const override;
  void ReloadAfterRestore() override { ++reloads; }
};

}  // namespace tellurio::backup::testing
