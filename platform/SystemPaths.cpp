#include "platform/SystemPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace tellurio {

namespace fs = std::filesystem;

SystemPaths SystemPathsFor(uid_t uid, const char* home, const char* xdgDataHome) {
  SystemPaths p;
  if (uid == 0) {
    p.installRoot = "/opt";
    p.systemDirectory = "/usr/local/lib";
    p.applicationsDirectory = "/usr/local/share/applications";
    return p;
  }
  const fs::path homeDir = (home && *home) ? fs::path(home).lexically_normal() : fs::path("/");
  p.installRoot = homeDir;
  p.systemDirectory = homeDir / ".local" / "lib";
  const fs::path dataHome = (xdgDataHome && *xdgDataHome && fs::path(xdgDataHome).is_absolute())
                                ? fs::path(xdgDataHome).lexically_normal()
                                : homeDir / ".local" / "share";
  p.applicationsDirectory = dataHome / "applications";
  return p;
}

SystemPaths CurrentSystemPaths() {
  const uid_t uid = ::geteuid();
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    if (const passwd* pw = ::getpwuid(uid)) home = pw->pw_dir;
  }
  return SystemPathsFor(uid, home, std::getenv("XDG_DATA_HOME"));
}

}  // namespace tellurio
