#include "runtime/descriptor_io.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace recharge {

namespace {

// After EINTR or EAGAIN: true when the call is to be made again.
bool MayRetry(int fd, short events) {
  if (errno == EINTR) return true;
  if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
  pollfd ready = {.fd = fd, .events = events, .revents = 0};
  while (poll(&ready, 1, -1) < 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace

ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = read(fd, buffer, size);
    if (got >= 0 || !MayRetry(fd, POLLIN)) return got;
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && MayRetry(fd, POLLOUT)) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace recharge
