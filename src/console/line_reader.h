// Input records: lines of standard input, fetched one at a time.
//
// A record ends in a line feed; a last line without one gets one appended. The
// buffer holds 4096 bytes including the line feed: a longer line is an error.
// Reading no bytes, or a line whose last character before its line end is
// byte 26 (Ctrl-Z), is the end of the input.
#pragma once

#include <cstddef>
#include <string_view>

#include "console/console_unit.h"
#include "console/output_channel.h"
#include "runtime/runtime_error.h"

namespace recharge {

inline constexpr std::size_t kInputBufferSize = 4096;

class LineSource {
 public:
  // On success `line` holds the next record, line feed included, valid until
  // the next call.
  virtual RuntimeError NextLine(std::string_view& line) = 0;

 protected:
  ~LineSource() = default;
};

class LineReader : public LineSource {
 public:
  // Gathered output on `out` is written before every read(2) of `fd`; a
  // consumed line clears the pending-line flag of `reading_unit`.
  LineReader(int fd, OutputChannel& out, ConsoleUnit& reading_unit);

  RuntimeError NextLine(std::string_view& line) override;

 private:
  RuntimeError Fill();

  int fd_;
  OutputChannel& out_;
  ConsoleUnit& reading_unit_;
  char buffer_[kInputBufferSize];
  std::size_t size_ = 0;      // bytes in buffer_
  std::size_t start_ = 0;     // where the last line handed out begins
  std::size_t consumed_ = 0;  // where it ends, after its line feed
  bool end_of_input_ = false;
};

}  // namespace recharge
