#pragma once
// The uninstaller's dialog in Qt: the two lists, the progress bar, the
// "Aktion:" line and the buttons "Deinstallieren" and "Abbrechen"; it shows
// what the rules in uninstaller/ decide.

#include <QDialog>

#include "uninstaller/Uninstaller.h"

class QLabel;
class QListWidget;
class QProgressBar;

namespace tellurio {

// The about box: program name, version 1.0, author Vaskor.
void ShowUninstallerAbout(QWidget* parent);

class UninstallerDialog final : public QDialog, public UninstallerView {
 public:
  explicit UninstallerDialog(UninstallerServices services, QWidget* parent = nullptr);

  bool Open(const std::filesystem::path& startDirectory) { return uninstaller_.Open(startDirectory); }
  Uninstaller& Rules() { return uninstaller_; }

  void ShowFiles(const std::vector<std::string>& names) override;
  void ShowSystemFiles(const std::vector<std::string>& names) override;
  void FileRemoved(const std::string& name) override;
  void SystemFileRemoved(const std::string& name) override;
  void ShowAction(const std::string& text) override;
  void SetProgress(int value, int maximum) override;

 private:
  Uninstaller uninstaller_;
  QListWidget* files_;
  QListWidget* systemFiles_;
  QProgressBar* progress_;
  QLabel* action_;
};

}  // namespace tellurio
