#pragma once
// The drive dialogs "Datensicherung" and "Datenrücksicherung" in Qt.  They
// show what BackupDriveRules and RestoreDriveRules decide; messages go
// through the prompter.

#include <QPointer>
#include <QWidget>

#include "backup/BackupCommands.h"
#include "platform/Prompter.h"

namespace tellurio::backup {

class BackupDialogsQt final : public BackupDialogs {
 public:
  // The prompter must outlive this object; parent may be null (at the first
  // start there is no main window yet).
  BackupDialogsQt(Prompter& prompter, QWidget* parent) : prompter_(prompter), parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  std::optional<std::filesystem::path> ChooseBackupDrive(const std::vector<DriveEntry>& drives) override;
  std::optional<std::filesystem::path> ChooseRestoreDrive(const std::vector<DriveEntry>& drives,
                                                          const GenerationProbe& probe) override;

 private:
  Prompter& prompter_;
  QPointer<QWidget> parent_;
};

}  // namespace tellurio::backup
