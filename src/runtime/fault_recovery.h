// Faults as values. A floating-point trap or a math-function failure ends
// the run with its report, unless it happens inside RecoverFaults on the same
// thread: then the computation is abandoned at the faulting operation and
// RecoverFaults returns the report that the run would have ended with.
// Because the traps are armed inside, that is the report of the first faulting
// operation, even when more faults would have followed it (a division by
// zero whose infinity then meets an invalid operation reports the division).
//
//   double x = 0.0;
//   auto divide = [&] { x = 1.0 / zero; };
//   RecoverFaults(divide)  -> RuntimeError::kFloatingDivideByZero
//   1.0 / zero             -> infinity again, if the caller had no traps
//
// Every thread keeps its own recovery points, so many threads may recover at
// once, and they nest. The process needs the trap handler of
// trap_environment.h. Inside, the thread's traps are armed, whatever the
// caller had (arming clears the exception flags); on every way out (a return,
// a fault, an exception) RecoverFaults gives the thread back the
// floating-point environment it found: the enabled traps and the flags.
//
// A fault leaves the body by a jump, as if from the faulting operation: no
// destructor of the body's own objects runs. The body must therefore hold
// nothing that needs one (memory, locks): plain arithmetic on caller-owned
// data, as the model's steps are. Values the body stored before the fault stay
// in the caller's memory as far as the compiler kept them before the faulting
// operation; a body that relies on them puts a
// std::atomic_signal_fence(std::memory_order_seq_cst) between its stores and
// the arithmetic that may fault, as each model step does (soil_balance.cc).
//
// An exception from the body (an observer's std::bad_alloc) goes on to the
// caller as from any call: a guard in RecoverFaults's own frame removes its
// recovery point and gives back the environment on the way, so a later fault
// finds the recovery points that are still live, or none.
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
// or, outside any, the run: by the handler set below, else with the report.
// Safe in a signal handler.
[[noreturn]] void RaiseFault(RuntimeError error);

// Called instead of the dialogue's report when a fault happens outside any
// recovery point; it must end the process and be async-signal-safe. nullptr
// (the default): the report of termination.h.
void SetUnrecoveredFaultHandler(void (*handler)(RuntimeError error));

}  // namespace recharge
