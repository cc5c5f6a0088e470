#include "table/progress.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "runtime/descriptor_io.h"
#include "runtime/is_terminal.h"

namespace recharge::table {

Progress::Progress(int input_fd, bool enabled)
    : input_fd_(input_fd), enabled_(enabled && IsTerminal(STDERR_FILENO)), start_(Clock::now()) {
  struct stat file;
  if (fstat(input_fd, &file) == 0 && S_ISREG(file.st_mode)) input_size_ = file.st_size;
}

void Progress::Update(std::size_t rows) {
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  if (now - start_ < std::chrono::seconds(1)) return;
  if (shown_ && now - last_shown_ < std::chrono::milliseconds(500)) return;
  last_shown_ = now;
  shown_ = true;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double rate = static_cast<double>(rows) / seconds;  // at least a second has passed
  char line[128];
  int length = std::snprintf(line, sizeof line, "\r%zu rows, %.0f rows/s", rows, rate);
  // The read position of the input is a little ahead of the rows done.
  const off_t read = lseek(input_fd_, 0, SEEK_CUR);
  if (input_size_ > 0 && read > 0 && read <= input_size_) {
    const double left =
        seconds * static_cast<double>(input_size_ - read) / static_cast<double>(read);
    length += std::snprintf(line + length, sizeof line - length, ", about %.0f s left", left);
  }
  length += std::snprintf(line + length, sizeof line - length, "\x1b[K");
  WriteAll(STDERR_FILENO, std::string_view(line, static_cast<std::size_t>(length)));
}

void Progress::Finish() {
  if (shown_) WriteAll(STDERR_FILENO, "\r\x1b[K");
}

}  // namespace recharge::table
