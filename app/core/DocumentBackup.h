#pragma once
// Backup and restore on the open document: gives the backup commands the
// working directory, the depot and provider lists and the session's name
// checks, reloads the document after a restore, and is the restore that
// the first start offers.

#include "app/core/CTellurioDoc.h"
#include "app/core/Hooks.h"
#include "backup/BackupCommands.h"

namespace tellurio {

class DocumentBackup final : public backup::BackupHost, public RestoreOffer {
 public:
  // Both must outlive this object.
  DocumentBackup(CTellurioDoc& doc, backup::BackupCommands& commands) : doc_(doc), commands_(commands) {}

  // "Depotdaten &sichern" and "Depotdaten &rücksichern".
  void Backup() { commands_.Backup(*this); }
  void Restore() { commands_.Restore(*this); }

  // RestoreOffer
  bool RestoreBackup() override;

  // backup::BackupHost
  std::filesystem::path WorkingDirectory() const override { return doc_.State().workingDirectory; }
  std::vector<std::string> DepotNames() const override { return doc_.State().depotNames; }
  std::vector<std::string> ProviderNames() const override { return doc_.State().providerNames; }
  std::optional<std::string> RefuseName(const std::string& name, bool depot) const override;
  void ReloadAfterRestore() override { doc_.ReloadAfterRestore(); }

 private:
  CTellurioDoc& doc_;
  backup::BackupCommands& commands_;
};

}  // namespace tellurio
