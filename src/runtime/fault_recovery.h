// Faults as values. A floating-point trap or a math-function failure ends
// the run with its report, unless it happens inside RecoverFaults on the same
// thread: then the computation is abandoned at the faulting operation and
// RecoverFaults returns the report that the run would have ended with.
// Because the traps stay armed, that is the report of the first faulting
// operation, even when more faults would have followed it (a division by
// zero whose infinity then meets an invalid operation reports the division).
//
//   double x = 0.0;
//   auto divide = [&] { x = 1.0 / zero; };
//   RecoverFaults(divide)  -> RuntimeError::kFloatingDivideByZero
//
// Every thread keeps its own recovery point, so many threads may recover at
// once. The process needs the trap handler of trap_environment.h. The thread's
// traps are armed on entry and re-armed after a fault.
//
// A fault leaves the body by a jump, as if from the faulting operation: no
// destructor of the body's own objects runs. The body must therefore hold
// nothing that needs one (memory, locks): plain arithmetic on caller-owned
// data, as the model's steps are. Values the body stored before the fault stay
// in the caller's memory.
#pragma once

#include "runtime/runtime_error.h"

namespace recharge {

// Runs body(context); kNone when it returned normally.
RuntimeError RunRecoveringFaults(void (*body)(void*), void* context);

template <typename Body>
RuntimeError RecoverFaults(Body& body) {
  return RunRecoveringFaults([](void* context) { (*static_cast<Body*>(context))(); }, &body);
}

// Ends the body of the innermost RecoverFaults of this thread with `error`,
// or, outside any, the run with its report. Safe in a signal handler.
[[noreturn]] void RaiseFault(RuntimeError error);

}  // namespace recharge
