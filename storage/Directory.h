#pragma once
// Directory trees: create, delete with everything inside, move.

#include <filesystem>
#include <string>

#include "storage/Status.h"

namespace tellurio {

class Directory {
 public:
  explicit Directory(std::filesystem::path path) : path_(std::move(path)) {}
  // path = base / name, or name itself when it is absolute.
  Directory(const std::filesystem::path& base, const std::string& name);

  const std::filesystem::path& Path() const { return path_; }

  // Creates the directory (one level).  An existing directory is fine.
  Status CreateDirectory() const;

  // Deletes the directory with all files and subdirectories.  Refused, with
  // nothing deleted, unless the directory lies strictly inside mustLieIn
  // (after resolving "..", "." and symbolic links): nothing outside the data
  // directory may ever be deleted.  Symbolic links inside the tree are removed
  // as links, never followed.  A missing directory is not an error.
  Status DeleteTree(const std::filesystem::path& mustLieIn) const;

  // Renames or moves the directory on the same file system; on success Path()
  // becomes the new path and it is returned, on failure an empty path.
  std::filesystem::path MoveTo(const std::string& name, bool absolute);

 private:
  std::filesystem::path path_;
};

// True when path lies strictly inside root (both resolved).
bool IsStrictlyInside(const std::filesystem::path& path, const std::filesystem::path& root);

}  // namespace tellurio
