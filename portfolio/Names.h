#pragma once
// Checks of the names a user types for depots and fund providers.  Such
// names become file and directory names and lines of list files, so a name
// that could escape the data directory, that the file formats cannot hold or
// that would be taken for another kind of file is refused with a German
// reason.

#include <optional>
#include <string>

namespace tellurio {

enum class NameKind { Depot, Provider };

// The reason why the name cannot be used, or nothing.
std::optional<std::string> RefuseName(const std::string& name, NameKind kind);

// The reason why the name cannot be stored as a line of the list file whose
// first line is firstLine (the name itself when the file is new), or nothing.
std::optional<std::string> RefuseListLine(const std::string& name, NameKind kind, const std::string& firstLine,
                                          bool isFirstLine);

}  // namespace tellurio
