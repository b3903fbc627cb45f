#pragma once
// The windows of price acquisition as its operations see them: the status
// window of the download run and the portrait passes, the archive progress
// dialog, the import file dialog with its fund panel, and the fund portrait.
// The Qt versions live in acquisition/qt; tests script them.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/ImportPanel.h"
#include "acquisition/Portrait.h"

namespace tellurio {

// The modeless status window ("Portraitdaten aktualisieren", retitled
// "Kursdownload" for the download run):
//
//   Die Werte der <subject> werden geladen
//   Die Daten des Fonds <current> werden bearbeitet
//   noch <remaining> Fonds müssen aktualisiert werden
//
// It is closed when the object is destroyed.
class StatusWindow {
 public:
  virtual ~StatusWindow() = default;
  virtual void SetSubject(const std::string& text) = 0;  // the word after "Die Werte der"
  virtual void SetRemaining(int count) = 0;              // the number after "noch"
  virtual void SetCurrent(const std::string& text) = 0;  // the name being worked on
  // Only the subject line and the current text stay (the portrait fetch).
  virtual void ShowTextOnly() = 0;
  // The download run: no subject line; "Die Daten des Depots" and
  // "Depots müssen aktualisiert werden".
  virtual void ShowDepotLines() = 0;
  // The download run: the day ("TT.MM.JJJJ") whose price file is being
  // loaded and merged.
  virtual void SetDay(const std::string& date) = 0;
};

// Called by the archive work before record k (from 0) with its fund name.
using ArchiveStep = std::function<void(int k, const std::string& fund)>;
using ArchiveWork = std::function<void(const ArchiveStep& step)>;

// What the import dialog returns on "Importieren".
struct ImportChoice {
  std::vector<std::filesystem::path> files;  // full paths, in the dialog's order
  bool allFunds = true;
  std::string fund;  // the chosen fund when allFunds is false
};

class AcquisitionDialogs {
 public:
  virtual ~AcquisitionDialogs() = default;
  virtual std::unique_ptr<StatusWindow> OpenStatusWindow(const std::string& title) = 0;
  // The modal archive progress dialog, titled "Aktuallisiertes Depot: " +
  // depot, for `total` records; runs work once it is shown and closes when
  // the work is done.  The work runs to its end in any case.
  virtual void RunArchiveProgress(const std::string& depot, int total, const ArchiveWork& work) = 0;
  // "Kursdaten importieren", starting in initialDirectory, with the fund
  // panel driven by the rules.  Nothing on cancel.
  virtual std::optional<ImportChoice> ChooseImportFiles(const std::filesystem::path& initialDirectory,
                                                        ImportPanelRules& rules) = 0;
  // "Fondportrait" for the funds of the index, read from portraitFile.
  virtual void ShowPortrait(const PortraitIndex& index, const std::filesystem::path& portraitFile) = 0;
};

// Status window and dialogs that show nothing: for operations that run
// without a screen (benchmarks, the start of a test document).
class SilentAcquisitionDialogs : public AcquisitionDialogs {
 public:
  std::unique_ptr<StatusWindow> OpenStatusWindow(const std::string&) override;
  void RunArchiveProgress(const std::string&, int, const ArchiveWork& work) override;
  std::optional<ImportChoice> ChooseImportFiles(const std::filesystem::path&, ImportPanelRules&) override {
    return std::nullopt;
  }
  void ShowPortrait(const PortraitIndex&, const std::filesystem::path&) override {}
};

}  // namespace tellurio
