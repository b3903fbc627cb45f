#pragma once
// Where a program is installed on this machine: the install root (the user's
// home; /opt for root), the directory for shared additional components
// (~/.local/lib; /usr/local/lib for root) and the applications directory that
// desktop menus read (~/.local/share/applications or $XDG_DATA_HOME/
// applications; /usr/local/share/applications for root).  A plain value:
// tests build one from temporary directories.

#include <sys/types.h>

#include <filesystem>

namespace tellurio {

struct SystemPaths {
  std::filesystem::path installRoot;
  std::filesystem::path systemDirectory;
  std::filesystem::path applicationsDirectory;
};

// The paths for a user with this id, home directory and XDG_DATA_HOME (either
// may be null or empty).  An XDG_DATA_HOME that is not absolute is ignored,
// as the XDG base directory rules say; a missing home gives "/".
SystemPaths SystemPathsFor(uid_t uid, const char* home, const char* xdgDataHome);

// The paths of the running process (effective user id, HOME, XDG_DATA_HOME;
// the password database when HOME is not set).
SystemPaths CurrentSystemPaths();

}  // namespace tellurio
