#pragma once
// The commands "Depotdaten &sichern" and "Depotdaten &rücksichern": the
// drive dialog, the file work of Generations.h and the messages about it.
// The restore is also what the first start offers when no depot exists.
// Everything runs on the user-interface thread.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "backup/DriveRules.h"
#include "backup/FileLayer.h"
#include "platform/Drives.h"
#include "platform/Prompter.h"

namespace tellurio::backup {

// The two drive dialogs; the Qt program shows them, tests script them.
class BackupDialogs {
 public:
  virtual ~BackupDialogs() = default;
  // "Datensicherung": the root of the chosen drive, nothing when cancelled.
  virtual std::optional<std::filesystem::path> ChooseBackupDrive(const std::vector<DriveEntry>& drives) = 0;
  // "Datenrücksicherung": the root of the chosen drive, nothing when
  // cancelled (also after "keine Sicherungsdaten").
  virtual std::optional<std::filesystem::path> ChooseRestoreDrive(const std::vector<DriveEntry>& drives,
                                                                  const GenerationProbe& probe) = 0;
};

// What backup and restore need of the open document.
class BackupHost {
 public:
  virtual ~BackupHost() = default;
  virtual std::filesystem::path WorkingDirectory() const = 0;
  // The depots and providers whose files a backup saves, in list order.
  virtual std::vector<std::string> DepotNames() const = 0;
  virtual std::vector<std::string> ProviderNames() const = 0;
  // Why a depot (depot = true) or provider name found in a backup cannot be
  // used by the program, or nothing.
  virtual std::optional<std::string> RefuseName(const std::string& name, bool depot) const = 0;
  // Called after a restore has replaced files of the working directory:
  // the depot data are read again.
  virtual void ReloadAfterRestore() = 0;
};

class BackupCommands {
 public:
  // All must outlive this object.
  BackupCommands(BackupDialogs& dialogs, Prompter& prompter, const Drives& drives, FileLayer& files);

  // Backup onto a drive the user chooses.  Success shows nothing; a failure
  // says what failed, and the earlier generations are kept.
  void Backup(BackupHost& host);

  // Restore from a drive the user chooses.  True when files of the working
  // directory were replaced (then host.ReloadAfterRestore() has run); false
  // when nothing changed (cancelled, no backup found, no depot data, a
  // failure before any file was replaced; each but the cancel is told).
  bool Restore(BackupHost& host);

 private:
  void Tell(const std::string& text, MessageIcon icon, BeepKind beep);
  BackupDialogs& dialogs_;
  Prompter& prompter_;
  const Drives& drives_;
  FileLayer& files_;
};

}  // namespace tellurio::backup
