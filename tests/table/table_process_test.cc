// recharge-table as a process among others: what -o writes onto, the bounds
// of -j, signals inherited ignored, a reader that goes away, a fault outside
// every recovery point; and the worker threads and CPU count under it.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/run_program.h"
#include "runtime/available_cpus.h"
#include "runtime/worker_pool.h"
#include "table/output_file.h"

namespace recharge::testing {
namespace {

const std::string kInput = "P,ETp,Ps,ETps,Cs,zr,zgw,class\n60,55,30,40,0.3,60,200,1\n";
const std::string kSand = "60,55,30,40,0.3,60,200,1\n";
// The sand worked example, as table_program_test.cc has it.
const std::string kTable =
    "Cs,FC,WP,Wmax,qmax,method,nB,h_an,g,ETa,R,status\n"
    "0.3,0.1434827632742888,0.020693696058879982,7.367344032924529,0.008553961197027261,bagrov,"
    "3.7118658444938797,,,48.79369975234298,11.206300247657019,ok\n";
const std::string kSandResult = kTable.substr(kTable.find('\n') + 1);

mode_t Lmode(const std::string& path) {
  struct stat status = {};
  lstat(path.c_str(), &status);
  return status.st_mode;
}

// A fresh folder, removed with what is left in it.
struct Folder {
  std::string path;
  Folder() {
    char name[] = "/tmp/recharge_process_XXXXXX";
    path = mkdtemp(name);
  }
  ~Folder() {
    for (const std::string& name : Entries(path)) {
      if (unlink((*this / name).c_str()) != 0) rmdir((*this / name).c_str());
    }
    rmdir(path.c_str());
  }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

ProgramRun Table(std::vector<std::string> arguments) {
  return RunProgram(
      {.program = RECHARGE_TABLE_BINARY, .arguments = std::move(arguments), .input = kInput});
}

TEST(TableProcess, OutputOntoEveryKindOfFile) {
  struct Case {
    const char* name;
    void (*prepare)(const Folder&);
    std::string output;   // in the folder unless absolute
    std::string written;  // the file in the folder that gets the table, if any
    mode_t type;          // of `output` afterwards
    mode_t permissions;   // of `written` afterwards
  };
  const Case cases[] = {
      {"a link stays a link",
       [](const Folder& f) {
         std::ofstream(f / "real") << "old\n";
         chmod((f / "real").c_str(), 0640);
         symlink("real", (f / "link").c_str());
       },
       "link", "real", S_IFLNK, 0640},
      {"a link to nothing makes its target",
       [](const Folder& f) { symlink("made.csv", (f / "link").c_str()); }, "link", "made.csv",
       S_IFLNK, 0},
      {"an existing file keeps its mode",
       [](const Folder& f) {
         std::ofstream(f / "results.csv") << "old\n";
         chmod((f / "results.csv").c_str(), 0600);
       },
       "results.csv", "results.csv", S_IFREG, 0600},
      {"a device stays a device", [](const Folder&) {}, "/dev/null", "", S_IFCHR, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Folder folder;
    c.prepare(folder);
    std::set<std::string> expected = Entries(folder.path);
    if (!c.written.empty()) expected.insert(c.written);
    const std::string output = c.output[0] == '/' ? c.output : folder / c.output;
    const ProgramRun run = Table({"-q", "-o", output});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Lmode(output) & S_IFMT, c.type);
    EXPECT_EQ(Entries(folder.path), expected);  // no temporary left
    if (c.written.empty()) continue;
    EXPECT_EQ(Slurp(folder / c.written), kTable);
    if (c.permissions != 0) {
      EXPECT_EQ(Lmode(folder / c.written) & 07777, c.permissions);
    }
  }
}

// The read end is open before the run, so that the program's open does not
// wait; the table fits in the FIFO's buffer.
TEST(TableProcess, FifoGetsTheTableAndStaysAFifo) {
  Folder folder;
  const std::string fifo = folder / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  const ProgramRun run = Table({"-q", "-o", fifo});
  std::string got(2 * kTable.size(), '\0');
  got.resize(std::max<ssize_t>(read(reader, got.data(), got.size()), 0));
  close(reader);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(got, kTable);
  EXPECT_EQ(Lmode(fifo) & S_IFMT, static_cast<mode_t>(S_IFIFO));
  EXPECT_EQ(Entries(folder.path), (std::set<std::string>{".", "..", "fifo"}));
}

TEST(TableProcess, NothingWrittenIsStatusTwoWithOneLine) {
  Folder folder;
  mkdir((folder / "sub").c_str(), 0700);
  symlink("loop", (folder / "loop").c_str());
  const std::string missing = folder / "missing/results.csv";
  const std::string loop = folder / "loop";
  const std::string sub = folder / "sub";
  const std::string threads = "recharge-table: --threads takes a whole number from 1 to 256, not ";
  const struct {
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      {{"-j", "0"}, threads + "0\n"},
      {{"-j", "257"}, threads + "257\n"},
      {{"-j", "99999999999"}, threads + "99999999999\n"},
      {{"--decimal", "dot"}, "recharge-table: --decimal takes point or comma, not dot\n"},
      {{"-o", missing},
       "recharge-table: cannot write " + missing + ": No such file or directory\n"},
      {{"-o", sub}, "recharge-table: cannot write " + sub + ": Is a directory\n"},
      {{"-o", loop},
       "recharge-table: cannot write " + loop + ": Too many levels of symbolic links\n"},
  };
  const std::set<std::string> before = Entries(folder.path);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    const ProgramRun run = Table(c.arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(Entries(folder.path), before);
    EXPECT_EQ(Entries(sub), (std::set<std::string>{".", ".."}));
  }
}

// SIGHUP arrives while the table is being written, its input still open.
TEST(TableProcess, SighupLeftIgnoredStaysIgnored) {
  signal(SIGPIPE, SIG_IGN);  // writing on after the program is gone
  const struct {
    std::vector<int> ignored;
    int status;
    int signal;
    std::string table;
  } cases[] = {
      {{SIGHUP}, 0, 0, kTable + kSandResult},  // as under nohup
      {{}, -1, SIGHUP, ""},                    // the signal is delivered
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.signal);
    Folder folder;
    int in[2];
    ASSERT_EQ(pipe2(in, O_CLOEXEC), 0);
    const ProgramRun run = RunProgram(
        {.program = RECHARGE_TABLE_BINARY,
         .arguments = {"-q", "-o", folder / "results.csv"},
         .stdin_fd = in[0],
         .ignored_signals = c.ignored,
         .while_running = [&](pid_t pid) {
           close(in[0]);
           EXPECT_EQ(write(in[1], kInput.data(), kInput.size()), ssize_t(kInput.size()));
           for (int wait = 0; wait < 5000 && Entries(folder.path).size() < 3; ++wait)
             std::this_thread::sleep_for(std::chrono::milliseconds(2));  // the temporary file
           kill(pid, SIGHUP);
           // Still reading: the last row comes after the signal.
           std::this_thread::sleep_for(std::chrono::milliseconds(50));
           const ssize_t late = write(in[1], kSand.data(), kSand.size());
           if (c.signal == 0) {
             EXPECT_EQ(late, ssize_t(kSand.size()));
           }
           close(in[1]);
         }});
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.signal, c.signal);
    EXPECT_EQ(Slurp(folder / "results.csv"), c.table);
    EXPECT_EQ(Entries(folder.path).size(), c.table.empty() ? 2u : 3u);
  }
  signal(SIGPIPE, SIG_DFL);
}

TEST(TableProcess, ReaderGoneEndsQuietly) {
  const struct {
    std::vector<int> ignored;
    int status;
    int signal;
  } cases[] = {
      {{}, -1, SIGPIPE},  // as by SIGPIPE's default action
      {{SIGPIPE}, 2, 0},  // the failed write ends it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.signal);
    int out[2];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    close(out[0]);
    const ProgramRun run = RunProgram({.program = RECHARGE_TABLE_BINARY,
                                       .input = kInput,
                                       .stdout_fd = out[1],
                                       .ignored_signals = c.ignored});
    close(out[1]);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.signal, c.signal);
    EXPECT_EQ(run.err, "");  // no message, no summary
  }
}

TEST(WorkerPool, EveryItemOnceForAnyThreadCount) {
  for (int threads : {1, 3, 8}) {
    WorkerPool pool(threads);
    EXPECT_EQ(pool.threads(), threads);
    for (std::size_t count : {0, 1, 5, 1000}) {
      std::vector<int> calls(count);
      pool.Run(count, [&](std::size_t i) { ++calls[i]; });
      EXPECT_EQ(calls, std::vector<int>(count, 1)) << threads << " threads, " << count;
    }
  }
}

// A signal sent to the process must find the thread that holds it back while
// it makes the temporary file, not a worker.
TEST(WorkerPool, WorkersTakeNoSignalFromOutsideButFaults) {
  WorkerPool pool(3);
  const std::thread::id caller = std::this_thread::get_id();
  std::mutex mutex;
  std::set<std::pair<bool, bool>> worker_masks;  // {SIGHUP, SIGSEGV} blocked
  const auto seen = [&] {
    std::lock_guard lock(mutex);
    return !worker_masks.empty();
  };
  pool.Run(100, [&](std::size_t) {
    if (std::this_thread::get_id() == caller) {
      while (!seen()) std::this_thread::yield();  // the workers take the rest
      return;
    }
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    std::lock_guard lock(mutex);
    worker_masks.insert({sigismember(&mask, SIGHUP) == 1, sigismember(&mask, SIGSEGV) == 1});
  });
  EXPECT_EQ(worker_masks, (std::set<std::pair<bool, bool>>{{true, false}}));
  sigset_t mask;
  pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  EXPECT_EQ(sigismember(&mask, SIGHUP), 0);  // the caller's own mask is as it was
}

TEST(AvailableCpus, OmpNumThreadsWhenAPositiveWholeNumber) {
  unsetenv("OMP_NUM_THREADS");
  const int machine = AvailableCpus();
  EXPECT_GE(machine, 1);
  EXPECT_LE(machine, 256);
  const struct {
    const char* value;
    int cpus;
  } cases[] = {{"3", 3}, {"1000", 256}, {"0", machine}, {"4,2", machine}, {"", machine}};
  for (const auto& c : cases) {
    setenv("OMP_NUM_THREADS", c.value, 1);
    EXPECT_EQ(AvailableCpus(), c.cpus) << '"' << c.value << '"';
  }
  unsetenv("OMP_NUM_THREADS");
}

}  // namespace
}  // namespace recharge::testing
