#include "table/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include "runtime/descriptor_io.h"

namespace recharge::table {

namespace {

// The temporary file a signal handler removes; one at a time per process.
char temporary_to_remove[4096];

void RemoveTemporary() {
  if (temporary_to_remove[0] != '\0') unlink(temporary_to_remove);
}

void RemoveAndDie(int signal) {
  RemoveTemporary();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// mkstemp on `pattern`, the file made and its removal on the ending signals
// arranged as one step: those signals are held back in this thread until
// both are done, and the workers never take them (worker_pool.h), so none
// can end the run between the two and leave the file behind.
int MakeTemporary(std::string& pattern) {
  sigset_t ending, previous;
  sigemptyset(&ending);
  for (int signal : kEndingSignals) sigaddset(&ending, signal);
  pthread_sigmask(SIG_BLOCK, &ending, &previous);
  const int fd = mkstemp(pattern.data());
  const int failure = errno;
  if (fd >= 0) {
    std::strncpy(temporary_to_remove, pattern.c_str(), sizeof temporary_to_remove - 1);
    struct sigaction action = {};
    action.sa_handler = RemoveAndDie;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int signal : kEndingSignals) {
      struct sigaction inherited = {};
      sigaction(signal, nullptr, &inherited);
      if (inherited.sa_handler != SIG_IGN) sigaction(signal, &action, nullptr);
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  errno = failure;
  return fd;
}

void ForgetOnSignals() {
  sigset_t all, previous;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous);
  temporary_to_remove[0] = '\0';
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

// As many links as the system follows in a path.
constexpr int kMaxLinks = 40;

// `path` with its chain of symbolic links followed to the name at its end,
// which need not exist; `status` that file's status, st_mode 0 when it does
// not exist. False, with errno set, when the chain cannot be followed.
bool FollowLinks(std::string& path, struct stat& status) {
  for (int links = 0;; ++links) {
    if (lstat(path.c_str(), &status) != 0) {
      status.st_mode = 0;
      return errno == ENOENT;
    }
    if (!S_ISLNK(status.st_mode)) return true;
    if (links == kMaxLinks) {
      errno = ELOOP;
      return false;
    }
    char link[PATH_MAX];
    const ssize_t size = readlink(path.c_str(), link, sizeof link);
    if (size < 0) return false;
    if (static_cast<std::size_t>(size) == sizeof link) {
      errno = ENAMETOOLONG;
      return false;
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        link[0] == '/' || slash == std::string::npos ? "" : path.substr(0, slash + 1);
    path = folder + std::string(link, static_cast<std::size_t>(size));
  }
}

// Syncs the folder that holds `path`, so that a rename in it is on disk.
bool SyncFolder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  const int error = errno;
  close(fd);
  errno = error;
  return synced;
}

}  // namespace

OutputFile::~OutputFile() {
  if (owns_fd_) close(fd_);
  if (temporary_.empty()) return;
  unlink(temporary_.c_str());
  ForgetOnSignals();
}

// Sets `error` from errno; an empty one when the reader of a pipe has gone.
bool OutputFile::Failed(std::string& error) const {
  if (errno == EPIPE) {
    error.clear();
  } else {
    error =
        "cannot write " + (path_.empty() ? "standard output" : path_) + ": " + std::strerror(errno);
  }
  return false;
}

bool OutputFile::Open(const std::string& path, std::string& error) {
  if (path.empty()) return true;
  path_ = path;
  target_ = path;
  struct stat existing;
  if (!FollowLinks(target_, existing)) return Failed(error);
  // A device or FIFO; a folder refuses to be opened for writing (EISDIR).
  if (existing.st_mode != 0 && !S_ISREG(existing.st_mode)) {
    fd_ = open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return Failed(error);
    owns_fd_ = true;
    return true;
  }
  if (target_.size() + 16 >= sizeof temporary_to_remove) {
    errno = ENAMETOOLONG;
    return Failed(error);
  }
  std::string pattern = target_ + ".XXXXXX";
  fd_ = MakeTemporary(pattern);
  if (fd_ < 0) return Failed(error);
  owns_fd_ = true;
  temporary_ = pattern;
  // mkstemp makes the file readable by its owner only.
  mode_t mode = existing.st_mode & 07777;
  if (existing.st_mode != 0) {
    if (fchown(fd_, existing.st_uid, existing.st_gid) != 0 && errno != EPERM) {
      return Failed(error);
    }
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  if (fchmod(fd_, mode) != 0) return Failed(error);
  return true;
}

bool OutputFile::Write(std::string_view bytes, std::string& error) {
  return WriteAll(fd_, bytes) || Failed(error);
}

bool OutputFile::Commit(std::string& error) {
  if (!owns_fd_) return true;
  owns_fd_ = false;
  if (temporary_.empty()) return close(fd_) == 0 || Failed(error);
  if (fsync(fd_) != 0) {
    const int failure = errno;
    close(fd_);
    errno = failure;
    return Failed(error);
  }
  if (close(fd_) != 0 || rename(temporary_.c_str(), target_.c_str()) != 0) return Failed(error);
  temporary_.clear();
  ForgetOnSignals();
  return SyncFolder(target_) || Failed(error);
}

}  // namespace recharge::table
