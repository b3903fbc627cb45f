// Started by huge_pages_test: begins as the program's main does, then
// prints what the test checks, one "key=value" line each:
//   args      the arguments after the program name, joined by '|'
//   runs      how many times main began in this process (2: restarted)
//   now       GLIBC_TUNABLES as the process sees it now ("<unset>")
//   marker    whether the restart's own variables are still set
//   name      the process name as process lists show it
//   advised   whether 8 MiB from malloc lie in memory advised for huge
//             pages ("-" when a sanitizer's allocator replaces malloc)

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/HugePages.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kGlibcMalloc = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
constexpr bool kGlibcMalloc = false;
#else
constexpr bool kGlibcMalloc = true;
#endif
#else
constexpr bool kGlibcMalloc = true;
#endif

// The flags of the mapping that holds p ("hg": advised for huge pages).
std::string FlagsOf(const void* p) {
  const auto at = reinterpret_cast<unsigned long>(p);
  std::ifstream in("/proc/self/smaps");
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    unsigned long from = 0, to = 0;
    if (std::sscanf(line.c_str(), "%lx-%lx ", &from, &to) == 2 && line.find(' ') > line.find('-')) {
      inside = from <= at && at < to;
      continue;
    }
    if (inside && line.rfind("VmFlags:", 0) == 0) return line.substr(8);
  }
  return std::string();
}

}  // namespace

int main(int argc, char** argv) {
  // Counted in the environment, which a restart passes on.
  const char* before = std::getenv("HUGE_PAGES_PROBE_RUNS");
  const std::string runs = std::to_string((before ? std::atoi(before) : 0) + 1);
  if (setenv("HUGE_PAGES_PROBE_RUNS", runs.c_str(), 1) != 0) return 1;
  tellurio::UseHugePagesForMalloc(argv);
  std::string args;
  for (int i = 1; i < argc; ++i) args += (i > 1 ? "|" : "") + std::string(argv[i]);
  const char* now = std::getenv("GLIBC_TUNABLES");
  std::printf("args=%s\n", args.c_str());
  std::printf("runs=%s\n", runs.c_str());
  std::printf("now=%s\n", now ? now : "<unset>");
  std::printf("marker=%d\n",
              std::getenv("TELLURIO_GLIBC_TUNABLES_VORHER") || std::getenv("TELLURIO_PROZESSNAME_VORHER") ? 1 : 0);
  std::string name;
  std::getline(std::ifstream("/proc/self/comm"), name);
  std::printf("name=%s\n", name.c_str());
  if (kGlibcMalloc) {
    const size_t bytes = size_t{8} << 20;
    char* block = static_cast<char*>(std::malloc(bytes));
    if (!block) return 1;
    std::memset(block, 1, bytes);
    std::istringstream flags(FlagsOf(block + bytes / 2));
    bool advised = false;
    for (std::string f; flags >> f;) advised = advised || f == "hg";
    std::printf("advised=%d\n", advised ? 1 : 0);
    std::free(block);
  } else {
    std::printf("advised=-\n");
  }
  return 0;
}
