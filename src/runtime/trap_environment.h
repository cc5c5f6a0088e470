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
//
// A library inside a program of its own (the Python module) leaves that
// program's floating-point environment alone and holds a TrapHandlerScope
// around each computation instead: the traps are armed only inside
// RecoverFaults, and the handler is SIGFPE's action only while a scope lives.
// A SIGFPE then that is no fault inside a recovery point goes on to the
// action SIGFPE had before, and outside every scope the program's own
// handlers (Python's faulthandler) see SIGFPE as if the module were not
// there:
//   1.0 / 0.0 outside RecoverFaults  -> infinity, the traps being off
//   the same with traps the program armed itself -> the earlier action
//   1.0 / 0.0 inside RecoverFaults   -> kFloatingDivideByZero, as ever
#pragma once

namespace recharge {

// Set once at start-up, before the dialogue: arms the traps of this thread
// and installs the handler. Also ignores SIGPIPE, so that a write to a closed
// pipe fails with an error that can be reported.
void SetUpTrapEnvironment();

// The handler alone: no trap armed, every other signal left alone. The first
// of the scopes that live at once (on any threads) installs it, keeping the
// action it replaces as the earlier action; the last gives that back, unless
// another handler was installed meanwhile. A SIGFPE that is no fault inside a
// recovery point puts the earlier action back and is raised again, to take
// it: the process ends as it would have without the handler (killed by
// SIGFPE for the default action); where the earlier action returns, the
// handler is put back for the rest of the scope. A trap outside every
// recovery point cannot be resumed: where the earlier action returns, it
// takes the default action (the first scope registers the unrecovered fault
// handler of fault_recovery.h for that).
class TrapHandlerScope {
 public:
  TrapHandlerScope();
  ~TrapHandlerScope();
  TrapHandlerScope(const TrapHandlerScope&) = delete;
  TrapHandlerScope& operator=(const TrapHandlerScope&) = delete;
};

}  // namespace recharge
