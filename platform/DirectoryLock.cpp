#include "platform/DirectoryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ErrorText.h"

namespace tellurio {

DirectoryLock::DirectoryLock(const std::filesystem::path& directory) : file_(directory / kFileName) {
  // Close-on-exec: a program started from here must not hold the lock on.
  fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0 && errno == EROFS) {
    // An existing lock file can still be locked through a read-only
    // descriptor; without one nobody can write there at all.
    fd_ = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd_ < 0) {
      state_ = State::ReadOnly;
      return;
    }
  }
  if (fd_ < 0) {
    error_ = errno;
    state_ = State::Unavailable;
    return;
  }
  int result;
  do {
    result = ::flock(fd_, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    state_ = State::Held;
    return;
  }
  error_ = errno;
  state_ = errno == EWOULDBLOCK ? State::Busy : State::Unavailable;
  ::close(fd_);
  fd_ = -1;
}

DirectoryLock::~DirectoryLock() {
  // Closing the descriptor releases the lock.
  if (fd_ >= 0) ::close(fd_);
}

std::string DirectoryLock::Message() const {
  switch (state_) {
    case State::Held:
    case State::ReadOnly:
      return {};
    case State::Busy:
      return "Tellurio läuft bereits mit diesem Datenverzeichnis.";
    case State::Unavailable:
      break;
  }
  return "Das Datenverzeichnis kann nicht für Tellurio gesperrt werden: Die Sperrdatei \"" + file_.string() +
         "\" kann nicht angelegt oder gesperrt werden (" + GermanErrorText(error_) +
         "). Ohne Sperre könnten zwei Programme dieselben Dateien überschreiben; Tellurio arbeitet daher nicht "
         "mit diesem Verzeichnis.";
}

}  // namespace tellurio
