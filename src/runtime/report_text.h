// A report under construction, in a fixed buffer: reports are built without
// allocating, so that a report is made even when memory has run out.
// Text beyond the buffer's 256 bytes is dropped; the longest report the
// program makes is under 100.
//
//   ReportText t; t << 'M' << 6103 << ": MATH";   -> "M6103: MATH"
#pragma once

#include <cstddef>
#include <string_view>

namespace recharge {

class ReportText {
 public:
  ReportText& operator<<(std::string_view text) {
    for (char c : text) *this << c;
    return *this;
  }
  ReportText& operator<<(char c) {
    if (length_ < sizeof text_) text_[length_++] = c;
    return *this;
  }
  // A report number, always four digits.
  ReportText& operator<<(int number) {
    for (int scale = 1000; scale > 0; scale /= 10)
      *this << static_cast<char>('0' + number / scale % 10);
    return *this;
  }
  std::string_view View() const { return {text_, length_}; }

 private:
  char text_[256];
  std::size_t length_ = 0;
};

}  // namespace recharge
