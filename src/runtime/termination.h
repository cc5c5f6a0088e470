// How a run ends: the stop, or one run-time error report.
//
// Reports go to standard error, unbuffered, in one piece:
//   "\r\nrun-time error F6301: READ(CON)\r\n- end of file encountered\r\n"
//   "\r\nrun-time error M6103: MATH\r\n- floating-point error: divide by zero\r\n"
// The console that the run writes to takes part through the hooks it
// registers: before a report it writes out what it still holds, the stop
// text is its own, and after either it is closed (a pending line gets its
// CR LF). Then the process exits: status 0 after the normal stop, 1 after a
// report.
#pragma once

#include "runtime/runtime_error.h"

namespace recharge {

class TerminationHooks {
 public:
  // Writes out what the console still holds; false if that failed.
  virtual bool Flush() = 0;
  // Writes "Stop - Program terminated." as the console lays it out.
  virtual bool WriteStopText() = 0;
  // Ends a pending line and writes what is left.
  virtual bool Close() = 0;

 protected:
  ~TerminationHooks() = default;
};

// The hooks of the process's console; nullptr (the default) for none.
void SetTerminationHooks(TerminationHooks* hooks);

// The stop text and exit with `status`: 0 for the normal end, 1 after the
// solver's non-convergence message. A failure to write it is reported as a
// WRITE failure instead.
[[noreturn]] void Stop(int status);

// The report of `error` and exit status 1. Safe in a signal handler.
[[noreturn]] void ReportRuntimeError(RuntimeError error);

}  // namespace recharge
