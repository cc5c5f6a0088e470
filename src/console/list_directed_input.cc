#include "console/list_directed_input.h"

#include "console/number_conversion.h"

namespace recharge {

ListDirectedReader::ListDirectedReader(LineSource& source) : source_(source) {}

void ListDirectedReader::Begin() {
  previous_separator_ = ',';
  repeats_left_ = 0;
  list_ended_ = false;
}

void ListDirectedReader::End() { position_ = line_.size(); }

RuntimeError ListDirectedReader::NextCharacter(char& c) {
  if (position_ >= line_.size()) {
    if (const RuntimeError error = source_.NextLine(line_); error != RuntimeError::kNone) {
      line_ = {};
      return error;
    }
    position_ = 0;
  }
  c = line_[position_++];
  return RuntimeError::kNone;
}

RuntimeError ListDirectedReader::Scan(bool& present) {
  if (repeats_left_ > 0) {
    --repeats_left_;
    present = token_size_ > 0;
    return RuntimeError::kNone;
  }
  if (list_ended_) {
    present = false;
    return RuntimeError::kNone;
  }
  token_size_ = 0;
  bool after_asterisk = false;
  for (;;) {
    char c;
    if (const RuntimeError error = NextCharacter(c); error != RuntimeError::kNone) return error;
    if (c == '\r' || c == '\n') {
      position_ = line_.size();  // the rest of the line goes with its end
      c = ' ';
    }
    const bool empty = token_size_ == 0 && !after_asterisk;
    if (c == ' ' || c == '\t') {
      if (empty) continue;
      previous_separator_ = ' ';
      break;
    }
    if (c == ',') {
      const bool joins_blank = empty && previous_separator_ == ' ';
      previous_separator_ = ',';
      if (joins_blank) continue;
      break;
    }
    if (c == '/') {
      previous_separator_ = '/';
      list_ended_ = true;
      break;
    }
    if (c == '*') {
      std::int32_t count = 0;
      const RuntimeError error = ConvertInteger(std::string_view(token_, token_size_), count);
      if (error != RuntimeError::kNone) return error;
      if (after_asterisk || count < 1) return RuntimeError::kRepeatCount;
      repeats_left_ = count - 1;
      after_asterisk = true;
      token_size_ = 0;
      continue;
    }
    if (token_size_ == 0 && (c == '\'' || c == '"' || c == '(')) return RuntimeError::kWrongForm;
    token_[token_size_++] = c;
  }
  present = token_size_ > 0;
  return RuntimeError::kNone;
}

RuntimeError ListDirectedReader::Transfer(double& target) {
  bool present = false;
  if (const RuntimeError error = Scan(present); error != RuntimeError::kNone) return error;
  if (!present) return RuntimeError::kNone;
  return ConvertReal(std::string_view(token_, token_size_), target);
}

RuntimeError ListDirectedReader::Transfer(std::int32_t& target) {
  bool present = false;
  if (const RuntimeError error = Scan(present); error != RuntimeError::kNone) return error;
  if (!present) return RuntimeError::kNone;
  return ConvertInteger(std::string_view(token_, token_size_), target);
}

}  // namespace recharge
