#include "platform/HugePages.h"

#include <sys/auxv.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace tellurio {

namespace {

// Set in the restarted process only: what GLIBC_TUNABLES was before ("-"
// for not set), so that it can be put back; also tells the restarted
// process not to restart again.
constexpr const char* kBefore = "TELLURIO_GLIBC_TUNABLES_VORHER";
// Set in the restarted process only: the process name before the restart.
// Started again through /proc/self/exe, the process would be called "exe"
// in process lists, and "pgrep" or "killall" with the program's name would
// not find it.
constexpr const char* kNameBefore = "TELLURIO_PROZESSNAME_VORHER";

// Puts GLIBC_TUNABLES back to `before` ("-": not set) and removes kBefore.
// Should setting it fail (no memory), the programs started from here see
// the huge-page tunable as well, which changes nothing of what they do;
// unsetenv fails only for a name that is empty or holds '=': not ours.
void RestoreTunables(const std::string& before) {
  const int failed = before == "-" ? unsetenv("GLIBC_TUNABLES") : setenv("GLIBC_TUNABLES", before.c_str(), 1);
  (void)failed;
  (void)unsetenv(kBefore);
}

// Gives the restarted process its name back and removes kNameBefore.  A
// name that cannot be set leaves "exe", which changes nothing the program
// does.
void RestoreName() {
  if (const char* name = std::getenv(kNameBefore); name && *name) (void)prctl(PR_SET_NAME, name, 0, 0, 0);
  (void)unsetenv(kNameBefore);
}

}  // namespace

std::optional<std::string> TunablesWithHugePages(const char* current) {
  if (!current || !*current) return std::string(kHugePageTunable);
  // Tunables are "name=value" pairs separated by colons.
  std::string_view rest(current);
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    const std::string_view pair = rest.substr(0, colon);
    if (pair.substr(0, pair.find('=')) == "glibc.malloc.hugetlb") return std::nullopt;
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return std::string(current) + ":" + kHugePageTunable;
}

void UseHugePagesForMalloc(char** argv) {
  if (const char* before = std::getenv(kBefore)) {
    // The restarted process: the C library has read its tunables, so the
    // environment can be the user's again.
    RestoreTunables(before);
    RestoreName();
    return;
  }
  if (!argv || !argv[0] || getauxval(AT_SECURE) != 0) return;
  const char* current = std::getenv("GLIBC_TUNABLES");
  const std::optional<std::string> tunables = TunablesWithHugePages(current);
  if (!tunables) return;
  const std::string before = current ? std::string(current) : std::string("-");
  // The kernel keeps at most 15 bytes of a process name.  Should the name
  // not be read or passed on, the restarted process is called "exe".
  char name[17] = {};
  if (prctl(PR_GET_NAME, name, 0, 0, 0) == 0) (void)setenv(kNameBefore, name, 1);
  if (setenv(kBefore, before.c_str(), 1) == 0 && setenv("GLIBC_TUNABLES", tunables->c_str(), 1) == 0)
    execv("/proc/self/exe", argv);  // returns only when it failed
  // Not restarted (no /proc, no memory): the program runs as it is, with
  // the environment it was given.
  RestoreTunables(before);
  (void)unsetenv(kNameBefore);
}

}  // namespace tellurio
