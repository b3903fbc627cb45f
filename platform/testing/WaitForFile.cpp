#include "platform/testing/WaitForFile.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace tellurio::testing {

bool WaitForFile(const std::filesystem::path& file, std::chrono::milliseconds timeout) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(file, ec)) return true;
  const int fd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (fd < 0) return false;
  // Watched before the second look, so that an entry made in between is
  // either seen by that look or reported by the watch.
  const bool watched = inotify_add_watch(fd, file.parent_path().c_str(), IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE) >= 0;
  const auto until = std::chrono::steady_clock::now() + timeout;
  bool found = fs::exists(file, ec);
  while (watched && !found) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) < 0) break;
    char events[4096];
    while (read(fd, events, sizeof events) > 0) {
      // The events only wake the wait; the file itself is what counts.
    }
    found = fs::exists(file, ec);
  }
  close(fd);
  return found;
}

}  // namespace tellurio::testing
