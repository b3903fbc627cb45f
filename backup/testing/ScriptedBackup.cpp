#include "backup/testing/ScriptedBackup.h"

#include <algorithm>

namespace tellurio::backup::testing {

std::optional<fs::path> ScriptedBackupDialogs::ChooseBackupDrive(const std::vector<DriveEntry>& drives) {
  shownDrives.push_back(drives);
  if (backupChoices.empty()) return std::nullopt;
  std::optional<fs::path> c = backupChoices.front();
  backupChoices.pop_front();
  return c;
}

std::optional<fs::path> ScriptedBackupDialogs::ChooseRestoreDrive(const std::vector<DriveEntry>& drives,
                                                                  const GenerationProbe&) {
  shownDrives.push_back(drives);
  if (restoreChoices.empty()) return std::nullopt;
  std::optional<fs::path> c = restoreChoices.front();
  restoreChoices.pop_front();
  return c;
}

std::optional<std::string> RecordingBackupHost::RefuseName(const std::string& name, bool depot) const {
  if (name.empty()) return std::string(depot ? "leerer Depotname" : "leerer Anbietername");
  if (std::find(refusedNames.begin(), refusedNames.end(), name) != refusedNames.end())
    return "Der Name " + name + " ist nicht erlaubt.";
  return std::nullopt;
}

}  // namespace tellurio::backup::testing
