#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace tellurio {

int SpawnedProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& workingDirectory) {
  if (program.empty()) return ENOENT;
  std::error_code ec;
  if (!std::filesystem::is_directory(workingDirectory, ec)) return ENOENT;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return ENOMEM;
  int rc = posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  if (rc == 0) rc = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  if (rc == 0) {
    // A relative program name with "/" is taken relative to the working
    // directory by the child's chdir; a plain name is searched in PATH.
    rc = program.find('/') == std::string::npos
             ? posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ)
             : posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return rc;
  // Reaped in the background; the caller does not wait for the program.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return 0;
}

}  // namespace tellurio
