// Progress of a long run on standard error, when standard error is a
// terminal: rows done, rows per second and, when the input is a file whose
// size is known, the time left. It appears once a run has taken a second,
// is redrawn at most twice a second on one line, and is wiped at the end.
// Elsewhere (a log file, a pipe) nothing is shown.
//
//   "200000 rows, 21345 rows/s, about 3 s left"
#pragma once

#include <chrono>
#include <cstddef>

namespace recharge::table {

class Progress {
 public:
  // `input_fd` is read sequentially; `enabled` false shows nothing.
  Progress(int input_fd, bool enabled);

  void Update(std::size_t rows);
  // Wipes the line, if one was shown.
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;

  int input_fd_;
  bool enabled_;
  long long input_size_ = -1;  // bytes, or -1 when unknown
  Clock::time_point start_;
  Clock::time_point last_shown_;
  bool shown_ = false;
};

}  // namespace recharge::table
