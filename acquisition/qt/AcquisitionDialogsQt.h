#pragma once
// The Qt windows of price acquisition: the status window, the archive
// progress dialog, the import file dialog "Kursdaten importieren" with its
// fund panel, and the dialog "Fondportrait".

#include <QPointer>
#include <QWidget>

#include "acquisition/AcquisitionDialogs.h"

namespace tellurio {

class AcquisitionDialogsQt : public AcquisitionDialogs {
 public:
  // parent: the window the dialogs belong to; may be set later (the start
  // of the program shows the status window before the main window exists).
  explicit AcquisitionDialogsQt(QWidget* parent) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  std::unique_ptr<StatusWindow> OpenStatusWindow(const std::string& title) override;
  void RunArchiveProgress(const std::string& depot, int total, const ArchiveWork& work) override;
  std::optional<ImportChoice> ChooseImportFiles(const std::filesystem::path& initialDirectory,
                                                ImportPanelRules& rules) override;
  void ShowPortrait(const PortraitIndex& index, const std::filesystem::path& portraitFile) override;

 private:
  QPointer<QWidget> parent_;
  // The open status window; the archive progress dialog opens beside it.
  QPointer<QWidget> status_;
};

}  // namespace tellurio
