// Every report that can end a run: an input or output failure on the console
// (class F), an arithmetic fault or a math-function failure (class M). Each
// has its number, the kind of statement that reports it and its message; the
// numbers and texts live in one table (runtime_error.cc), listed again in the
// README.
//
//   kEndOfFile    -> F6301, READ, "end of file encountered"
//   kPowDomain    -> M6201, MATH, "pow: DOMAIN error"
#pragma once

#include <string>
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
  // Arithmetic faults, as a processor would trap on them.
  kFloatingInvalid,
  kFloatingDivideByZero,
  kFloatingOverflow,
  // Math-function failures, by function and class: DOMAIN for an argument
  // outside the domain, SING for a singularity, OVERFLOW for a result beyond
  // the double range.
  kPowDomain,
  kPowSingularity,
  kPowOverflow,
  kExpDomain,
  kExpSingularity,
  kExpOverflow,
  kSqrtDomain,
  kSqrtSingularity,
  kSqrtOverflow,
};

enum class Statement { kRead, kWrite, kMath };

struct RuntimeErrorInfo {
  char letter;  // 'F' or 'M'
  int number;   // 6000 + code
  Statement statement;
  std::string_view message;
};

const RuntimeErrorInfo& Describe(RuntimeError error);

// The report's number and message on one line, as a table of results shows
// it: "M6201 pow: DOMAIN error".
std::string ReportLine(RuntimeError error);

}  // namespace recharge
