// How a run ends: the stop, or one run-time error report.
//
// Reports go to standard error, unbuffered, in one piece:
//   "\r\nrun-time error F6301: READ(CON)\r\n- end of file encountered\r\n"
//   "\r\nrun-time error M6103: MATH\r\n- floating-point error: divide by zero\r\n"
// After the stop text or a report the console units are closed (a pending
// line on standard output gets its CR LF) and the process exits: status 0
// after a stop, 1 after a report.
#pragma once

#include <string_view>

#include "console/runtime_error.h"

namespace recharge {

// Numbers of the M class.
inline constexpr int kMathInvalid = 6101;
inline constexpr int kMathDivideByZero = 6103;
inline constexpr int kMathOverflow = 6104;
inline constexpr int kMathDomain = 6201;
inline constexpr int kMathSingularity = 6202;
inline constexpr int kMathResultOverflow = 6203;

// Writes "Stop - Program terminated." (after a CR LF when a line is pending)
// and exits with `status`: 0 for the normal end, 1 after the solver's
// non-convergence message.
[[noreturn]] void Stop(int status);

// F-class report of an input or output failure on the console.
[[noreturn]] void ReportRuntimeError(RuntimeError error);

// M-class report: "- " then `message` on its own line. Safe in a signal
// handler.
[[noreturn]] void ReportMathError(int number, std::string_view message);

}  // namespace recharge
