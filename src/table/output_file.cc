#include "table/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "runtime/descriptor_io.h"

namespace recharge::table {

namespace {

// The temporary file a signal handler removes; one at a time per process.
char temporary_to_remove[4096];

void RemoveAndDie(int signal) {
  if (temporary_to_remove[0] != '\0') unlink(temporary_to_remove);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void RemoveOnSignals(const std::string& path) {
  std::strncpy(temporary_to_remove, path.c_str(), sizeof temporary_to_remove - 1);
  struct sigaction action = {};
  action.sa_handler = RemoveAndDie;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

void ForgetOnSignals() {
  sigset_t all, previous;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, &previous);
  temporary_to_remove[0] = '\0';
  sigprocmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace

OutputFile::~OutputFile() {
  if (temporary_.empty()) return;
  close(fd_);
  unlink(temporary_.c_str());
  ForgetOnSignals();
}

std::string OutputFile::ErrorText(const char* what) const {
  return std::string(what) + " " + (path_.empty() ? "standard output" : path_) + ": " +
         std::strerror(errno);
}

bool OutputFile::Open(const std::string& path, std::string& error) {
  if (path.empty()) return true;
  path_ = path;
  if (path.size() + 16 >= sizeof temporary_to_remove) {
    errno = ENAMETOOLONG;
    error = ErrorText("cannot write");
    return false;
  }
  std::string pattern = path + ".XXXXXX";
  fd_ = mkstemp(pattern.data());
  if (fd_ < 0) {
    fd_ = 1;
    error = ErrorText("cannot write");
    return false;
  }
  temporary_ = pattern;
  RemoveOnSignals(temporary_);
  // mkstemp makes the file readable by its owner only; a table of results
  // gets the permissions any new file of the user gets.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd_, 0666 & ~mask);
  return true;
}

bool OutputFile::Write(std::string_view bytes, std::string& error) {
  if (WriteAll(fd_, bytes)) return true;
  error = ErrorText("cannot write");
  return false;
}

bool OutputFile::Commit(std::string& error) {
  if (temporary_.empty()) return true;
  if (fsync(fd_) != 0 || close(fd_) != 0) {
    fd_ = -1;
    error = ErrorText("cannot write");
    return false;
  }
  fd_ = -1;
  if (rename(temporary_.c_str(), path_.c_str()) != 0) {
    error = ErrorText("cannot write");
    return false;
  }
  temporary_.clear();
  ForgetOnSignals();
  return true;
}

}  // namespace recharge::table
