#include "console/output_channel.h"

#include "runtime/descriptor_io.h"

namespace recharge {

namespace {

// Gathered output is written once it reaches this size even without a read.
constexpr std::size_t kGatherLimit = 1 << 16;

}  // namespace

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
