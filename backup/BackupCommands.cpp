#include "backup/BackupCommands.h"

#include "backup/Generations.h"

namespace tellurio::backup {

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string Joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
  return out.empty() ? "keine" : out;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += "\n" + l;
  return out;
}

}  // namespace

BackupCommands::BackupCommands(BackupDialogs& dialogs, Prompter& prompter, const Drives& drives, FileLayer& files)
    : dialogs_(dialogs), prompter_(prompter), drives_(drives), files_(files) {}

void BackupCommands::Tell(const std::string& text, MessageIcon icon, BeepKind beep) {
  prompter_.Show(Message{kMessageTitle, text, MessageButtons::Ok, icon, beep});
}

void BackupCommands::Backup(BackupHost& host) {
  const std::optional<std::filesystem::path> root = dialogs_.ChooseBackupDrive(DriveEntries(drives_));
  if (!root) return;
  const BackupResult r =
      WriteGeneration(files_, host.WorkingDirectory(), BackupFileNames(host.DepotNames(), host.ProviderNames()), *root,
                      drives_.FreeSpace(*root));
  if (!r.ok) {
    Tell("Die Datensicherung auf das Laufwerk " + Quoted(root->string()) + " ist fehlgeschlagen.\n\n" + r.problem +
             (r.generationsIntact ? "\n\nDie bisherigen Sicherungen auf dem Laufwerk sind unverändert." : ""),
         MessageIcon::Stop, BeepKind::Stop);
    return;
  }
  // A successful backup shows nothing, unless cleaning up after it failed.
  if (!r.warning.empty())
    Tell("Die Datensicherung ist vollständig, aber:\n\n" + r.warning, MessageIcon::Exclamation, BeepKind::Exclamation);
}

bool BackupCommands::Restore(BackupHost& host) {
  const GenerationProbe probe = [this](const std::filesystem::path& root) { return FindGenerations(files_, root); };
  const std::optional<std::filesystem::path> root = dialogs_.ChooseRestoreDrive(DriveEntries(drives_), probe);
  if (!root) return false;
  const std::optional<RestoreSource> source = OpenRestoreSource(files_, *root);
  if (!source) {
    Tell("Auf dem Laufwerk " + Quoted(root->string()) + " kann weder das Verzeichnis \"Vater\" noch das Verzeichnis " +
             "\"Sohn\" geöffnet werden.\nEs wurden keine Daten zurückgesichert.",
         MessageIcon::Stop, BeepKind::Stop);
    return false;
  }
  const std::filesystem::path wd = host.WorkingDirectory();
  const RestoreResult r = RestoreGeneration(
      files_, *source, wd, [&host](const std::string& name, bool depot) { return host.RefuseName(name, depot); },
      drives_.FreeSpace(wd));
  const std::string from = Quoted(source->dir.string());
  const std::string refused =
      r.refused.empty() ? "" : "\n\nDiese Dateien der Sicherung wurden ausgelassen:" + Lines(r.refused);
  switch (r.outcome) {
    case RestoreResult::Outcome::NoDepotData:
      Tell("Die Sicherung " + from + " enthält keine Depotdaten.\nEs wurden keine Daten zurückgesichert." + refused,
           MessageIcon::Stop, BeepKind::Stop);
      return false;
    case RestoreResult::Outcome::Failed:
      Tell("Die Rücksicherung aus " + from + " ist fehlgeschlagen.\n\n" + r.problem +
               "\n\nKeine Datei im Datenverzeichnis wurde verändert.",
           MessageIcon::Stop, BeepKind::Stop);
      return false;
    case RestoreResult::Outcome::Partial:
      Tell("Die Rücksicherung aus " + from + " ist nicht vollständig.\n\n" + r.problem + "\n\nZurückgesichert: " +
               Joined(r.restored) + "\nNicht zurückgesichert, unverändert: " + Joined(r.notRestored) + refused,
           MessageIcon::Stop, BeepKind::Stop);
      break;
    case RestoreResult::Outcome::Restored:
      if (!r.refused.empty())
        Tell("Die Daten wurden aus " + from + " zurückgesichert." + refused, MessageIcon::Exclamation,
             BeepKind::Exclamation);
      break;
  }
  host.ReloadAfterRestore();
  return true;
}

}  // namespace tellurio::backup
