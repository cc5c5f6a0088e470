#include "run_program.h"

#include <fcntl.h>
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

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

ProgramRun RunProgram(const ProgramIo& io) {
  const std::string in_path = io.stdin_path.empty() ? TempPath("in") : io.stdin_path;
  const bool capture_out = io.stdout_path.empty() && io.stdout_fd < 0;
  const std::string out_path = capture_out ? TempPath("out") : io.stdout_path;
  const std::string err_path = TempPath("err");
  if (io.stdin_path.empty()) std::ofstream(in_path, std::ios::binary) << io.input;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in_path.c_str(), O_RDONLY, 0);
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
  pid_t pid = -1;
  ProgramRun run;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int wait_status = 0;
    waitpid(pid, &wait_status, 0);
    if (WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (capture_out) {
    run.out = Slurp(out_path);
    unlink(out_path.c_str());
  }
  run.err = Slurp(err_path);
  if (io.stdin_path.empty()) unlink(in_path.c_str());
  unlink(err_path.c_str());
  return run;
}

}  // namespace recharge::testing
