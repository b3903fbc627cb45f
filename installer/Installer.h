#pragma once
// The installer's main dialog "Installationsprogramm" without widgets: it
// reads "install.txt" from the source directory, proposes the target,
// checks the space, copies the files with progress, installs additional
// components, creates the menu links and writes "uinstall.txt".  The Qt
// dialog forwards its buttons here and shows what the view interface says.
//
// Failures never lose a file: a source file is deleted only after its copy
// has been compared with it; every failure is collected and shown in one
// "Fehler" at the end, and "install.txt" stays in the source directory then,
// so that the installation can be run again.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "installer/InstallControl.h"
#include "installer/PathChoice.h"
#include "platform/DesktopLinks.h"
#include "platform/DialogStep.h"
#include "platform/Drives.h"
#include "platform/Process.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"

namespace tellurio {

struct InstallerServices {
  Prompter& prompter;
  const Drives& drives;
  DesktopLinks& links;
  Process& process;
  SystemPaths paths;
};

// What the main dialog shows.
class InstallerView {
 public:
  virtual ~InstallerView() = default;
  virtual void ShowSource(const std::string& text) = 0;
  virtual void ShowTarget(const std::string& text) = 0;
  virtual void ShowFreeSpace(const std::string& text) = 0;
  virtual void ShowNeededSpace(const std::string& text) = 0;
  virtual void ShowStatus(const std::string& text) = 0;
  virtual void ShowAction(const std::string& text) = 0;
  // The "Datei" and "Gesamt" bars.
  virtual void SetFileProgress(int value, int maximum) = 0;
  virtual void SetTotalProgress(int value, int maximum) = 0;
};

// The dialogs the main dialog opens.
class InstallerDialogs {
 public:
  virtual ~InstallerDialogs() = default;
  // "Lizenzbedingungen" with "Akzeptieren" and "nicht akzeptieren"; true
  // when accepted.
  virtual bool AcceptLicence(const std::vector<std::string>& lines) = 0;
  // The same dialog showing the notes, information only.
  virtual void ShowNotes(const std::vector<std::string>& lines) = 0;
  // "Installationspfade wählen" driven by rules; true when closed with OK
  // (rules.Chosen() is then the path).
  virtual bool ChooseTarget(PathChoice& rules) = 0;
};

class Installer {
 public:
  Installer(InstallerServices services, InstallerView& view, InstallerDialogs& dialogs);

  // The dialog opens on the source directory.  False when the program ends:
  // "install.txt" is missing or refused (the message has been shown).
  bool Open(const std::filesystem::path& sourceDirectory);
  // "Ändern...".
  void ChangeTarget();
  // "Start": Stay when the installation cannot begin (the dialog stays
  // open), Cancel when the licence was refused, Accept when it ran (with or
  // without failures, which have been shown).
  DialogStep Start();

  const std::filesystem::path& Target() const { return target_; }
  const InstallControl& Control() const { return control_; }

 private:
  void ApplyRenames();
  std::vector<std::string> ReadTextFile(const std::string& name);
  void ShowSpaceAndStatus();
  std::optional<std::uint64_t> FreeSpaceOfTarget() const;
  bool CopyOne(const std::filesystem::path& from, const std::filesystem::path& to, const std::string& name);
  void InstallExtras(std::vector<std::string>& skipped);
  std::string CreateLinks();
  void RuntimeFiles();
  void RemoveFromSource(const std::string& name);

  InstallerServices s_;
  InstallerView& view_;
  InstallerDialogs& dialogs_;
  std::filesystem::path source_;
  std::filesystem::path target_;
  InstallControl control_;
  std::vector<std::string> licence_;
  std::vector<std::string> notes_;
  std::vector<std::string> failures_;
  int totalDone_ = 0;
  int totalSteps_ = 0;
};

}  // namespace tellurio
