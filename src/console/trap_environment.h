// The floating-point environment of the run: invalid operation, division by
// zero and overflow trap (underflow, denormal operands and inexact results do
// not), and a trap ends the run with its report:
//   M6101 "floating-point error: invalid"
//   M6103 "floating-point error: divide by zero"
//   M6104 "floating-point error: overflow"
// Precision and rounding stay as a new process has them: double precision,
// round to nearest.
#pragma once

namespace recharge {

// Set once at start-up, before the dialogue. Also ignores SIGPIPE, so that a
// write to a closed pipe fails with an error that can be reported.
void SetUpTrapEnvironment();

}  // namespace recharge
