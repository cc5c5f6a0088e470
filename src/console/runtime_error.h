// Run-time errors of the console runtime: each has a number, the kind of
// statement that reports it and a message. The numbers and texts live in one
// table (runtime_error.cc), listed again in the README.
#pragma once

#include <string_view>

namespace recharge {

enum class RuntimeError {
  kNone,
  // Input (READ on the console).
  kEndOfFile,
  kReadFailure,
  kLineTooLong,
  kRepeatCount,
  kInvalidInteger,
  kIntegerOverflow,
  kBadRadix,
  kInvalidReal,
  kCharactersAfterReal,
  kRealOverflow,
  kWrongForm,
  // Output (WRITE on the console).
  kWriteFailure,
};

enum class Statement { kRead, kWrite };

struct RuntimeErrorInfo {
  int number;  // 6000 + code, printed with the letter F
  Statement statement;
  std::string_view message;
};

const RuntimeErrorInfo& Describe(RuntimeError error);

}  // namespace recharge
