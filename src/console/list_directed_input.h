// List-directed input: one READ statement fills its targets from free-form
// text, fetching lines only when it needs another character.
//
// Values are separated by blanks, tabs, one comma (blanks around it allowed)
// or line ends. Two commas in a row, or a comma first, give a null value that
// leaves its target unchanged. "r*c" gives c to r targets and "r*" r null
// values; the value after the asterisk belongs to the current target for
// every r, so "1* 5" is a null value and then 5. A slash ends the statement:
// later targets keep their values. A line end ends the value in progress; a
// carriage return ends the line. The end of a statement drops the rest of its
// last line, so every statement starts on a new line.
//
//   "3.5, ,2.0" into three reals -> 3.5, unchanged, 2.0
//   "2*5/" into two reals        -> 5, 5
//   "1 7 9" into one integer     -> 1 (7 and 9 are dropped)
#pragma once

#include <cstdint>
#include <string_view>

#include "console/line_reader.h"
#include "runtime/runtime_error.h"

namespace recharge {

class ListDirectedReader {
 public:
  explicit ListDirectedReader(LineSource& source);

  void Begin();
  RuntimeError Transfer(double& target);
  RuntimeError Transfer(std::int32_t& target);
  void End();

 private:
  // Scans the next value into token_; `present` is false for a null value.
  RuntimeError Scan(bool& present);
  RuntimeError NextCharacter(char& c);

  LineSource& source_;
  std::string_view line_;
  std::size_t position_ = 0;
  char previous_separator_ = ',';
  std::int32_t repeats_left_ = 0;
  bool list_ended_ = false;
  char token_[kInputBufferSize];
  std::size_t token_size_ = 0;
};

}  // namespace recharge
