// The floating-point environment of the run: invalid operation, division by
// zero and overflow trap (underflow, denormal operands and inexact results do
// not), and a trap is a fault (fault_recovery.h): it ends the run with its
// report, or comes back as a value inside RecoverFaults:
//   M6101 "floating-point error: invalid"
//   M6103 "floating-point error: divide by zero"
//   M6104 "floating-point error: overflow"
// Precision and rounding stay as a new process has them: double precision,
// round to nearest. A SIGFPE that another process sends (kill -FPE) is no
// arithmetic fault: it takes the signal's default action.
#pragma once

#include <cfenv>

namespace recharge {

inline constexpr int kTrappedExceptions = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// Set once at start-up, before the dialogue: arms the traps of this thread
// and installs the handler. Also ignores SIGPIPE, so that a write to a closed
// pipe fails with an error that can be reported.
void SetUpTrapEnvironment();

// Clears the exception flags and arms the three traps on this thread (the
// environment is per thread).
void ArmTraps();

}  // namespace recharge
