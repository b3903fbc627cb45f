#pragma once
// The installer's dialogs in Qt: "Installationsprogramm" (the main dialog),
// "Installationspfade wählen", "Lizenzbedingungen" and "Info über
// Installer".  They show what the rules in installer/ decide.

#include <QDialog>

#include <memory>

#include "installer/Installer.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tellurio {

class QtPrompter;

// "Lizenzbedingungen" (with "Akzeptieren" / "nicht akzeptieren") and the
// notes after the installation, and "Installationspfade wählen".
class InstallerDialogsQt final : public InstallerDialogs {
 public:
  explicit InstallerDialogsQt(QWidget* parent) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  bool AcceptLicence(const std::vector<std::string>& lines) override;
  void ShowNotes(const std::vector<std::string>& lines) override;
  bool ChooseTarget(PathChoice& rules) override;

 private:
  QWidget* parent_;
};

// "Info über Installer".
void ShowInstallerAbout(QWidget* parent);

// "Installationsprogramm".
class InstallerDialog final : public QDialog, public InstallerView {
 public:
  InstallerDialog(InstallerServices services, InstallerDialogs& dialogs, QWidget* parent = nullptr);
  ~InstallerDialog() override;

  // Reads the control file of sourceDirectory; false when the program ends.
  bool Open(const std::filesystem::path& sourceDirectory) { return installer_.Open(sourceDirectory); }
  Installer& Rules() { return installer_; }

  void ShowSource(const std::string& text) override;
  void ShowTarget(const std::string& text) override;
  void ShowFreeSpace(const std::string& text) override;
  void ShowNeededSpace(const std::string& text) override;
  void ShowStatus(const std::string& text) override;
  void ShowAction(const std::string& text) override;
  void SetFileProgress(int value, int maximum) override;
  void SetTotalProgress(int value, int maximum) override;

 private:
  void StartClicked();
  // Lets the bars and the action line paint while files are copied, without
  // taking clicks or keys.
  void Paint();

  Installer installer_;
  QLabel* source_;
  QLabel* target_;
  QLabel* free_;
  QLabel* needed_;
  QLabel* status_;
  QLabel* action_;
  QProgressBar* file_;
  QProgressBar* total_;
  QPushButton* start_;
  QPushButton* cancel_;
  QPushButton* change_;
};

}  // namespace tellurio
