#pragma once
// The rules of the dialog "Installationspfade wählen": a drive list with
// type texts, the directories of the drive being looked at, and the path
// the installation goes to.  Choosing a directory proposes the program
// folder inside it, so that the program gets a directory of its own.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/DialogStep.h"
#include "platform/Drives.h"
#include "platform/Prompter.h"

namespace tellurio {

// The installer's text for a drive type ("Festplattenlaufwerk", ...).
std::string DriveTypeText(DriveType type);

// True when the program can be installed on the drive: a local disk or a
// network drive that is not mounted read-only.
bool CanInstallOn(const Drive& drive);

// The drive that holds path: the one with the longest root above it.  -1
// when none does.
int DriveOf(const std::vector<Drive>& drives, const std::filesystem::path& path);

class PathChoice {
 public:
  PathChoice(Prompter& prompter, const Drives& drives, const std::filesystem::path& currentTarget);

  const std::vector<Drive>& DriveList() const { return drives_; }
  // The combo box's line for a drive: its root and its type text.
  std::string DriveLabel(size_t index) const;
  int CurrentDrive() const { return currentDrive_; }
  const std::filesystem::path& Browsing() const { return browsing_; }
  // The directories in Browsing(), sorted, without hidden ones, with ".."
  // first unless Browsing() is "/".
  std::vector<std::string> Directories() const;
  const std::string& PathText() const { return pathText_; }

  // The user chose drive index in the combo box.  A drive the program cannot
  // be installed on gives the stop message and false; the current drive
  // stays.
  bool ChooseDrive(int index);
  // The user opened a directory of the list: it is looked at and the program
  // folder inside it is proposed.
  void OpenDirectory(const std::string& name);
  void EditPath(const std::string& text) { pathText_ = text; }
  // OK: the path must be absolute and lie on a drive the program can be
  // installed on; otherwise a message and Stay.
  DialogStep Ok();
  // The chosen path after Accept (normalised, without a trailing "/").
  const std::filesystem::path& Chosen() const { return chosen_; }

 private:
  void Refuse(const std::string& drive);

  Prompter& prompter_;
  std::vector<Drive> drives_;
  int currentDrive_ = -1;
  std::filesystem::path browsing_;
  std::string pathText_;
  std::filesystem::path chosen_;
};

}  // namespace tellurio
