#include "bench/BenchUtil.h"

#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

extern char** environ;

namespace tellurio::bench {

namespace {
bool g_allMet = true;
}

double MedianMs(int runs, const std::function<void()>& fn) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    const auto a = std::chrono::steady_clock::now();
    fn();
    const auto b = std::chrono::steady_clock::now();
    t.push_back(std::chrono::duration<double, std::milli>(b - a).count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

double WcFloorMs(const std::vector<std::filesystem::path>& files, int runs) {
  std::vector<std::string> args = {"wc", "-l"};
  for (const auto& f : files) args.push_back(f.string());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return MedianMs(runs, [&] {
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "wc", &fa, nullptr, argv.data(), environ) == 0) {
      int status = 0;
      waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&fa);
  });
}

void Report(const std::string& name, double ms, const std::string& floorName, double floorMs, double target) {
  const double ratio = floorMs > 0 ? ms / floorMs : 0;
  const bool met = ratio <= target;
  if (!met) g_allMet = false;
  std::printf("%-48s %9.1f ms   %-28s %8.1f ms   ratio %5.2f   target <= %.2f  %s\n", name.c_str(), ms,
              floorName.c_str(), floorMs, ratio, target, met ? "met" : "MISSED");
  std::fflush(stdout);
}

bool AllTargetsMet() { return g_allMet; }

void Require(const Status& status) {
  if (!status.ok()) throw std::runtime_error(status.Describe());
}

std::filesystem::path BenchDirectory(int argc, char** argv, const std::string& name) {
  std::filesystem::path dir;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--dir") dir = argv[i + 1];
  if (dir.empty()) dir = std::filesystem::temp_directory_path() / ("tellurio-bench-" + name);
  std::printf("Generating %s ...\n", dir.c_str());
  std::fflush(stdout);
  return dir;
}

}  // namespace tellurio::bench
