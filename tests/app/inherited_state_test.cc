// What the program inherits from whatever starts it: standard streams left
// non-blocking are waited on, not failed; a SIGFPE sent by another process is
// not reported as an arithmetic fault but takes the signal's default action.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace recharge::testing {
namespace {

// The sand worked example as one soil, repeated `soils` times.
std::string Answers(int soils) {
  std::string answers = "60 55\n30 40\n1\n0.3\n";
  for (int i = 0; i < soils; ++i)
    answers += std::string("60 200\n1\n0\n") + (i + 1 < soils ? "1\n" : "0\n");
  return answers + "0\n";
}

struct Child {
  pid_t pid;
  int in;   // our end of its standard input
  int out;  // our end of its standard output
  int err;
};

// Starts the program on three fresh pipes.
Child Start(bool nonblocking_in, bool nonblocking_out) {
  int in[2], out[2], err[2];
  EXPECT_EQ(pipe(in) | pipe(out) | pipe(err), 0);
  if (nonblocking_in) fcntl(in[0], F_SETFL, O_NONBLOCK);
  if (nonblocking_out) {
    fcntl(out[1], F_SETPIPE_SZ, 4096);  // a small pipe fills early
    fcntl(out[1], F_SETFL, O_NONBLOCK);
  }
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    execl(RECHARGE_BINARY, RECHARGE_BINARY, static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int fd : {in[0], out[1], err[1]}) close(fd);
  return {pid, in[1], out[0], err[0]};
}

std::string ReadAll(int fd) {
  std::string bytes;
  char buffer[4096];
  for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, got);
  close(fd);
  return bytes;
}

int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

struct LateRun {
  std::string out, err;
  int status;
};

// Answers come late and output is taken late, so that every read and write
// of the program meets an empty or a full pipe first.
LateRun RunLate(bool nonblocking_in, bool nonblocking_out, const std::string& answers) {
  const Child child = Start(nonblocking_in, nonblocking_out);
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(write(child.in, answers.data(), answers.size()),
              static_cast<ssize_t>(answers.size()));
    close(child.in);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  std::string err;
  std::thread error_reader([&] { err = ReadAll(child.err); });
  LateRun run{ReadAll(child.out), "", 0};
  writer.join();
  error_reader.join();
  run.err = err;
  run.status = Wait(child.pid);
  return run;
}

TEST(InheritedState, NonBlockingStreamsAreWaitedOn) {
  const std::string answers = Answers(20);  // about 36 kB of output
  const LateRun blocking = RunLate(false, false, answers);
  ASSERT_TRUE(WIFEXITED(blocking.status));
  ASSERT_EQ(WEXITSTATUS(blocking.status), 0);
  ASSERT_GT(blocking.out.size(), 16384u);
  for (const bool in : {false, true}) {
    for (const bool out : {false, true}) {
      SCOPED_TRACE(std::string("non-blocking input ") + (in ? "yes" : "no") + ", output " +
                   (out ? "yes" : "no"));
      const LateRun run = RunLate(in, out, answers);
      EXPECT_TRUE(run.out == blocking.out)
          << run.out.size() << " bytes against " << blocking.out.size();
      EXPECT_EQ(run.err, "");
      EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0);
    }
  }
}

TEST(InheritedState, SigfpeFromAnotherProcessTakesItsDefaultAction) {
  // Under AddressSanitizer the program would get its SIGFPE handler: ask it
  // for the program's own state, no handler at all.
  setenv("ASAN_OPTIONS", "handle_sigfpe=0", 1);
  const Child child = Start(false, false);
  unsetenv("ASAN_OPTIONS");
  // The banner and the first prompt come before the first read.
  char byte;
  ASSERT_EQ(read(child.out, &byte, 1), 1);
  kill(child.pid, SIGFPE);
  const int status = Wait(child.pid);
  close(child.in);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGFPE);
  EXPECT_EQ(ReadAll(child.err), "");  // no report blames an operation
  close(child.out);
}

}  // namespace
}  // namespace recharge::testing
