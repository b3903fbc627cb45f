#pragma once
// The file operations of backup and restore, behind one interface: the real
// one works on the file system, tests pass one that fails where they want
// (a full or write-protected drive, a drive pulled out halfway, a copy that
// reads back different) and then check what survived.
//
// Every operation states what it leaves behind on failure; failures come
// back as a Status whose path is the file concerned and whose message is a
// German reason for the user.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Status.h"

namespace tellurio::backup {

namespace fs = std::filesystem;

// A byte buffer that keeps its memory between files and does not clear what
// it grows into: whole files are read into it, one after the other.
class ByteBuffer {
 public:
  char* data() { return data_.get(); }
  const char* data() const { return data_.get(); }
  size_t size() const { return size_; }
  std::string_view view() const { return {data_.get(), size_}; }
  // Makes room for n bytes; the size becomes n, the content is undefined.
  void Resize(size_t n);

 private:
  std::unique_ptr<char[]> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

enum class EntryKind {
  Missing,       // nothing there
  File,          // a regular file
  Directory,     // a directory
  Other,         // a symbolic link, device, pipe or socket
  Inaccessible,  // cannot be examined (no permission, I/O error)
};

// What an operation was doing when it failed; chooses the reason's wording.
enum class FileOp { Read, Write, CreateDirectory, Rename, Remove, List, Sync };

// The Status for a failed operation: errno err on path.  The message names
// the cause as a user sees it: no permission, write-protected, full, drive
// gone, or the system's own description.
Status FileFailure(FileOp op, int err, const fs::path& path);

class FileLayer {
 public:
  virtual ~FileLayer() = default;

  // What is at path; a symbolic link is Other (never followed).
  virtual EntryKind Kind(const fs::path& path) = 0;

  // The names of the regular files in dir (links, directories and others
  // left out), in no particular order.  Fails when dir cannot be opened or
  // read; names is then empty.
  virtual Status ListFiles(const fs::path& dir, std::vector<std::string>& names) = 0;

  // Reads the whole file into out.  On failure out's content is undefined.
  virtual Status ReadFile(const fs::path& path, ByteBuffer& out) = 0;

  // Creates path, which must not exist yet, with exactly these bytes, and
  // flushes it to the device before returning.  On failure the partial file
  // is removed where that is still possible.
  virtual Status WriteNewFile(const fs::path& path, std::string_view bytes) = 0;

  // Creates one directory level; fails when anything exists at path.
  virtual Status MakeDirectory(const fs::path& path) = 0;

  // Renames a file or a directory within one file system.  An existing file
  // at `to` is replaced atomically; a directory at `to` makes it fail.
  virtual Status Rename(const fs::path& from, const fs::path& to) = 0;

  // Deletes a file; a missing file is no error.
  virtual Status RemoveFile(const fs::path& path) = 0;

  // Deletes a directory with everything in it; symbolic links inside are
  // removed as links, never followed.  A missing directory is no error.  On
  // failure part of the tree may be gone.
  virtual Status RemoveTree(const fs::path& path) = 0;

  // Makes the creations, renames and deletions inside dir durable.
  virtual Status SyncDirectory(const fs::path& dir) = 0;
};

// The file system itself (POSIX calls).
class PosixFileLayer final : public FileLayer {
 public:
  EntryKind Kind(const fs::path& path) override;
  Status ListFiles(const fs::path& dir, std::vector<std::string>& names) override;
  Status ReadFile(const fs::path& path, ByteBuffer& out) override;
  Status WriteNewFile(const fs::path& path, std::string_view bytes) override;
  Status MakeDirectory(const fs::path& path) override;
  Status Rename(const fs::path& from, const fs::path& to) override;
  Status RemoveFile(const fs::path& path) override;
  Status RemoveTree(const fs::path& path) override;
  Status SyncDirectory(const fs::path& dir) override;
};

}  // namespace tellurio::backup
