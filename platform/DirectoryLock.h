#pragma once
// One program per data directory: an exclusive advisory lock (flock) on the
// file ".tellurio.lock" in the directory, held for as long as the object
// lives.  The kernel releases it when the process ends in any way (also
// when it is killed), so a crash never leaves the directory locked.  The
// lock file itself stays; it holds nothing.
//
// Not a protection against other programs that write the files without
// asking for the lock; it keeps two copies of Tellurio (two windows, or a
// window and the headless download) from rewriting the same stores from
// their own memory.

#include <filesystem>
#include <string>

namespace tellurio {

class DirectoryLock {
 public:
  enum class State {
    Held,         // this object holds the lock
    Busy,         // another process holds it
    Unavailable,  // the lock file could not be created or opened
    ReadOnly,     // a read-only file system: nobody can write there, no lock needed
  };

  // Tries once, without waiting.
  explicit DirectoryLock(const std::filesystem::path& directory);
  ~DirectoryLock();
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  State state() const { return state_; }
  // The program may work on the directory (Held or ReadOnly).
  bool ok() const { return state_ == State::Held || state_ == State::ReadOnly; }
  // The German text for the user when not ok().
  std::string Message() const;

  static constexpr const char* kFileName = ".tellurio.lock";

 private:
  std::filesystem::path file_;
  int fd_ = -1;
  int error_ = 0;
  State state_ = State::Unavailable;
};

}  // namespace tellurio
