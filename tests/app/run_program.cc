#include "run_program.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace recharge::testing {

namespace {

std::string TempPath(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr ? dir : "/tmp") + "/recharge_" + std::to_string(getpid()) +
         "_" + name;
}

}  // namespace

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::set<std::string> Entries(const std::string& folder) {
  std::set<std::string> names;
  DIR* dir = opendir(folder.c_str());
  while (dirent* entry = readdir(dir)) names.insert(entry->d_name);
  closedir(dir);
  return names;
}

ProgramRun RunProgram(const ProgramIo& io) {
  const bool bytes_in = io.stdin_path.empty() && io.stdin_fd < 0;
  const std::string in_path = io.stdin_path.empty() ? TempPath("in") : io.stdin_path;
  const bool capture_out = io.stdout_path.empty() && io.stdout_fd < 0;
  const std::string out_path = capture_out ? TempPath("out") : io.stdout_path;
  const std::string err_path = TempPath("err");
  if (bytes_in) std::ofstream(in_path, std::ios::binary) << io.input;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (io.stdin_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, io.stdin_fd, 0);
  } else {
    posix_spawn_file_actions_addopen(&actions, 0, in_path.c_str(), O_RDONLY, 0);
  }
  if (io.stdout_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, io.stdout_fd, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  }
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  const std::string program = io.program.empty() ? RECHARGE_BINARY : io.program;
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& argument : io.arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  // An ignored signal stays ignored across exec: ignored here while spawning.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigfillset(&defaults);
  std::vector<struct sigaction> saved(io.ignored_signals.size());
  for (std::size_t i = 0; i < io.ignored_signals.size(); ++i) {
    sigdelset(&defaults, io.ignored_signals[i]);
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(io.ignored_signals[i], &ignore, &saved[i]);
  }
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  ProgramRun run;
  const int spawned =
      posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  for (std::size_t i = 0; i < io.ignored_signals.size(); ++i)
    sigaction(io.ignored_signals[i], &saved[i], nullptr);
  if (spawned == 0) {
    if (io.while_running) io.while_running(pid);
    int wait_status = 0;
    waitpid(pid, &wait_status, 0);
    if (WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) run.signal = WTERMSIG(wait_status);
  }
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (capture_out) {
    run.out = Slurp(out_path);
    unlink(out_path.c_str());
  }
  run.err = Slurp(err_path);
  if (bytes_in) unlink(in_path.c_str());
  unlink(err_path.c_str());
  return run;
}

}  // namespace recharge::testing
