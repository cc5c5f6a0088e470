#include "console/line_reader.h"

#include <cstring>

#include "runtime/descriptor_io.h"

namespace recharge {

namespace {

constexpr char kEndOfFileCharacter = 26;

// The last character before the line end (LF, or CR LF) is Ctrl-Z.
bool EndsInput(std::string_view line) {
  line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return !line.empty() && line.back() == kEndOfFileCharacter;
}

}  // namespace

LineReader::LineReader(int fd, OutputChannel& out, ConsoleUnit& reading_unit)
    : fd_(fd), out_(out), reading_unit_(reading_unit) {}

RuntimeError LineReader::Fill() {
  if (!out_.Flush()) return RuntimeError::kWriteFailure;
  const ssize_t got = ReadSome(fd_, buffer_ + size_, kInputBufferSize - size_);
  if (got < 0) return RuntimeError::kReadFailure;
  if (got == 0) end_of_input_ = true;
  size_ += static_cast<std::size_t>(got);
  return RuntimeError::kNone;
}

RuntimeError LineReader::NextLine(std::string_view& line) {
  start_ = consumed_;
  std::size_t scanned = start_;
  for (;;) {
    const void* feed = std::memchr(buffer_ + scanned, '\n', size_ - scanned);
    if (feed != nullptr) {
      consumed_ = static_cast<std::size_t>(static_cast<const char*>(feed) - buffer_) + 1;
      break;
    }
    // The line so far goes to the front before more is read, so that a line
    // always has the whole buffer.
    std::memmove(buffer_, buffer_ + start_, size_ - start_);
    size_ -= start_;
    start_ = 0;
    consumed_ = 0;
    scanned = size_;
    if (size_ == kInputBufferSize) return RuntimeError::kLineTooLong;
    if (end_of_input_) {
      if (size_ == 0) return RuntimeError::kEndOfFile;
      buffer_[size_++] = '\n';
      consumed_ = size_;
      break;
    }
    if (const RuntimeError error = Fill(); error != RuntimeError::kNone) return error;
  }
  line = std::string_view(buffer_ + start_, consumed_ - start_);
  if (EndsInput(line)) return RuntimeError::kEndOfFile;
  reading_unit_.pending_line = false;
  return RuntimeError::kNone;
}

}  // namespace recharge
