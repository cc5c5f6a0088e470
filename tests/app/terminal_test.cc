// A whole case at a terminal. Standard input and output are the same
// pseudo-terminal, so they share one console unit: the answer is typed on the
// prompt's line and its Enter ends that line, so the next record starts right
// there, with no empty line in between.
//
// terminal/whole_case.screen holds the screen line by line. "[[answer]]" at
// the end of a line is typed there once everything before it is shown; its
// echo ends the line with a line feed. Every other line ends with the CR LF
// that the program writes.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

namespace recharge::testing {
namespace {

struct Step {
  std::string shown;   // bytes the program shows before the answer
  std::string answer;  // typed, without its line feed; empty after the last prompt
};

std::vector<Step> LoadScreen(const std::string& path) {
  std::vector<Step> steps(1);
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    const std::size_t open = line.find("[[");
    if (open == std::string::npos) {
      steps.back().shown += line + "\r\n";
      continue;
    }
    steps.back().shown += line.substr(0, open);
    steps.back().answer = line.substr(open + 2, line.size() - open - 4);
    steps.push_back({});
  }
  return steps;
}

// Reads from the terminal until `screen` holds `length` bytes or the program
// has closed its side; gives up after ten seconds without output.
void ReadUntil(int master, std::string& screen, std::size_t length) {
  char buffer[4096];
  while (screen.size() < length) {
    pollfd ready = {master, POLLIN, 0};
    if (poll(&ready, 1, 10000) <= 0) return;
    const ssize_t got = read(master, buffer, sizeof buffer);
    if (got <= 0) return;  // EIO once the program has exited
    screen.append(buffer, static_cast<std::size_t>(got));
  }
}

TEST(Terminal, AnswersStayOnThePromptLine) {
  const std::vector<Step> steps = LoadScreen(TERMINAL_DIR "/whole_case.screen");
  // Canonical input with echo, and no output processing, so that the bytes
  // read back are the program's own and the echo of what was typed.
  termios mode = {};
  cfmakeraw(&mode);
  mode.c_lflag |= ICANON | ECHO;
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, &mode, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    execl(RECHARGE_BINARY, RECHARGE_BINARY, static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string screen;
  std::string expected;
  for (const Step& step : steps) {
    expected += step.shown;
    ReadUntil(master, screen, expected.size());
    if (step.answer.empty()) break;
    const std::string typed = step.answer + "\n";
    ASSERT_EQ(write(master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    expected += typed;
  }
  ReadUntil(master, screen, expected.size() + 1);  // nothing more may follow
  close(master);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_EQ(screen, expected);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace recharge::testing
