// The floating-point environment of the run: invalid operation, division by
// zero and overflow trap (underflow, denormal operands and inexact results do
// not; thread_traps.h), and a trap is a fault (fault_recovery.h): it ends the
// run with its report, or comes back as a value inside RecoverFaults:
//   M6101 "floating-point error: invalid"
//   M6103 "floating-point error: divide by zero"
//   M6104 "floating-point error: overflow"
// Precision and rounding stay as a new process has them: double precision,
// round to nearest. Any other SIGFPE is no floating-point fault and takes the
// signal's default action, inside RecoverFaults too: one that another process
// sends (kill -FPE), or an integer division by zero (INT_MIN / -1 alike).
#pragma once

namespace recharge {

// Set once at start-up, before the dialogue: arms the traps of this thread
// and installs the handler. Also ignores SIGPIPE, so that a write to a closed
// pipe fails with an error that can be reported.
void SetUpTrapEnvironment();

}  // namespace recharge
