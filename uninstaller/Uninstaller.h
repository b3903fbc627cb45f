#pragma once
// The uninstaller's dialog without widgets: it reads "uinstall.txt" from the
// program directory (its current directory at start), lists the files there
// and the additional system files, and on "Deinstallieren" deletes them,
// unregisters controls and removes the menu links and their folder.
//
// A control file is data anyone may have changed: the uninstaller acts only
// when "Vorgabe=" names the directory that holds "uinstall.txt", deletes
// only regular files directly in it (never through a symbolic link), system
// files only by plain name inside the system directory, and a link only
// when it is a ".desktop" file inside the applications directory.  The
// user's depot data lives in the program directory too: before any of it is
// deleted the user is asked once.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "platform/Prompter.h"
#include "platform/SystemPaths.h"

namespace tellurio {

struct UninstallerServices {
  Prompter& prompter;
  Process& process;
  SystemPaths paths;
};

class UninstallerView {
 public:
  virtual ~UninstallerView() = default;
  // The lists "zu löschende Dateien" and "aus der Registry zu löschende
  // Elemente".
  virtual void ShowFiles(const std::vector<std::string>& names) = 0;
  virtual void ShowSystemFiles(const std::vector<std::string>& names) = 0;
  // A file was deleted: its line leaves the list.
  virtual void FileRemoved(const std::string& name) = 0;
  virtual void SystemFileRemoved(const std::string& name) = 0;
  virtual void ShowAction(const std::string& text) = 0;
  virtual void SetProgress(int value, int maximum) = 0;
};

// True for the files a backup saves: depot and fund archive stores (".dat",
// ".idx"), provider lists (".pls"), "anb.dbk", "dax.dxt", "portrait.txt".
bool IsDepotDataFile(const std::string& name);

class Uninstaller {
 public:
  Uninstaller(UninstallerServices services, UninstallerView& view);

  // Reads the control file in startDirectory and fills the lists.  False
  // when the program ends (missing or foreign control file; the message has
  // been shown).
  bool Open(const std::filesystem::path& startDirectory);
  // "Deinstallieren".
  void Uninstall();

  const std::filesystem::path& ProgramDirectory() const { return programDirectory_; }
  const std::vector<std::string>& Files() const { return files_; }
  const std::vector<std::string>& SystemFiles() const { return systemFiles_; }
  bool WithSystemFiles() const { return withSystemFiles_; }
  const std::string& LinkPath() const { return linkPath_; }

 private:
  bool RefuseDirectory(const std::string& reason);
  void ReadSystemFiles(const std::vector<std::string>& lines, std::vector<std::string>& problems);
  void CheckLink(std::vector<std::string>& problems);
  void RemoveLinks();

  UninstallerServices s_;
  UninstallerView& view_;
  std::filesystem::path startDirectory_;
  std::filesystem::path programDirectory_;  // resolved
  std::vector<std::string> files_;
  std::vector<std::string> systemFiles_;
  bool withSystemFiles_ = false;
  std::string registrationProgram_;
  std::string linkPath_;
};

}  // namespace tellurio
