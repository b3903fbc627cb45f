#pragma once
// Shell links as freedesktop desktop entries (".desktop" files): what a
// desktop's applications menu shows and starts.  A link names the program,
// its working directory, a description and an icon.

#include <filesystem>
#include <string>

namespace tellurio {

struct ShellLink {
  std::string name;                        // the menu entry's title
  std::string description;                 // tool tip of the entry
  std::filesystem::path target;            // the program started (absolute)
  std::filesystem::path workingDirectory;  // current directory of the program
  std::filesystem::path icon;              // an image file; empty: none
  std::string categories = "Office;Finance;";
};

// The text of a desktop entry for the link: UTF-8, one key a line.  The
// program path is quoted for the Exec key where the entry rules require it,
// so any path (blanks, quotes, "%", "$") starts exactly that program.
std::string DesktopEntryText(const ShellLink& link);

class DesktopLinks {
 public:
  virtual ~DesktopLinks() = default;
  // Creates folder (with missing parents) and saves the link as file in it,
  // replacing an earlier file atomically.  Returns 0 or the errno value of
  // the failure; on failure no partial file is left.
  virtual int Save(const ShellLink& link, const std::filesystem::path& folder, const std::string& file) = 0;
};

// Writes real files.
class DesktopEntryFiles final : public DesktopLinks {
 public:
  int Save(const ShellLink& link, const std::filesystem::path& folder, const std::string& file) override;
};

}  // namespace tellurio
