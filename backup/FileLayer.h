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
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/Status.h"

namespace tellurio::backup {

namespace fs = std::filesystem;

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

  // Creates `to`, which must not exist yet, with the bytes of `from`: every
  // piece is read back through the file system after it is written and
  // compared with the bytes read from `from`, and the file is flushed to the
  // device before this returns.  A missing `from` gives NotFound.  On
  // failure the Status names the file at fault (`from` when it could not be
  // read, `to` when it could not be written or reads back different, errno
  // EBADMSG) and the partial copy is removed where that is still possible.
  virtual Status CopyNewFile(const fs::path& from, const fs::path& to) = 0;

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

// The file system itself (POSIX calls).  Copies go in pieces of a megabyte,
// each compared while it is still in the processor's cache.  Not
// thread-safe: one object serves one thread.
class PosixFileLayer final : public FileLayer {
 public:
  // afterWrite, for tests only: runs after each piece of a copy is written
  // and before it is read back (to damage it, as a faulty drive would).
  using PieceHook = std::function<void(int fd, std::uint64_t offset, std::size_t length)>;
  explicit PosixFileLayer(PieceHook afterWrite = {});
  EntryKind Kind(const fs::path& path) override;
  Status ListFiles(const fs::path& dir, std::vector<std::string>& names) override;
  Status CopyNewFile(const fs::path& from, const fs::path& to) override;
  Status MakeDirectory(const fs::path& path) override;
  Status Rename(const fs::path& from, const fs::path& to) override;
  Status RemoveFile(const fs::path& path) override;
  Status RemoveTree(const fs::path& path) override;
  Status SyncDirectory(const fs::path& dir) override;

 private:
  PieceHook afterWrite_;
  std::unique_ptr<char[]> piece_, readBack_;
};

}  // namespace tellurio::backup
