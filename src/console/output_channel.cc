#include "console/output_channel.h"

#include <unistd.h>

#include <cerrno>

namespace recharge {

namespace {

// Gathered output is written once it reaches this size even without a read.
constexpr std::size_t kGatherLimit = 1 << 16;

}  // namespace

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

OutputChannel::OutputChannel(int fd, bool terminal) : fd_(fd), terminal_(terminal) {}

bool OutputChannel::Write(std::string_view advance, std::string_view text) {
  pending_.append(advance);
  pending_.append(text);
  if (terminal_ || pending_.size() >= kGatherLimit) return Flush();
  return true;
}

bool OutputChannel::Flush() {
  const bool written = WriteAll(fd_, pending_);
  pending_.clear();
  return written;
}

}  // namespace recharge
