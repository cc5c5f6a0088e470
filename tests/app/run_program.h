// Runs the built program as a user's shell would: standard input from bytes,
// standard output and standard error captured, exit status returned. The
// program starts with every signal at its default action, unless ignored.
#pragma once

#include <sys/types.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace recharge::testing {

struct ProgramRun {
  std::string out;
  std::string err;
  int status = -1;  // exit status, or -1 when the program did not exit
  int signal = 0;   // the signal that ended the program, 0 when it exited
};

struct ProgramIo {
  std::string program = "";  // the recharge program when empty
  std::vector<std::string> arguments = {};
  std::string input = "";                 // bytes on standard input
  std::string stdin_path = "";            // read instead of `input` when given
  std::string stdout_path = "";           // standard output goes here instead of `out` when given
  int stdout_fd = -1;                     // or to this descriptor
  int stdin_fd = -1;                      // read instead of `input` when given
  std::vector<int> ignored_signals = {};  // ignored when the program starts, as nohup does
  std::function<void(pid_t)> while_running = {};  // called once the program has started
};

ProgramRun RunProgram(const ProgramIo& io);

// The bytes of a file; the names in a folder, "." and ".." included.
std::string Slurp(const std::string& path);
std::set<std::string> Entries(const std::string& folder);

}  // namespace recharge::testing
