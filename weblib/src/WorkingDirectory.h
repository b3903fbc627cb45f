#pragma once
// The process current directory.  The library's own file work never depends
// on it; the exports set it only because callers rely on it.

#include <string>

namespace marabu {

// Makes path the current directory.  Nothing happens when the current
// directory already equals path byte for byte.  Otherwise the process climbs
// to "/" (where the drive root was on the first platform) and enters each
// "/"-separated component of the path in order; a component that cannot be
// entered is skipped silently, and the next one is tried from where the
// process stands.  A relative path is first made absolute against the current
// directory.  No result; nothing throws.
void EnterWorkingDirectory(const std::string& path);

// The current directory, or "" when it cannot be read.
std::string CurrentDirectory();

// True when the current directory is the directory path names (the same
// directory, also when reached through another spelling or a link).
bool IsCurrentDirectory(const std::string& path);

// Changes back to a directory read with CurrentDirectory(); false when that
// is not possible (the directory is gone).
bool ReturnTo(const std::string& directory);

}  // namespace marabu
