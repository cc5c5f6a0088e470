#include "runtime/fault_recovery.h"

#include <setjmp.h>

#include <atomic>

#include "runtime/termination.h"
#include "runtime/thread_traps.h"

namespace recharge {

namespace {

using UnrecoveredFaultHandler = void (*)(RuntimeError);

// Read in the trap handler, so it must not take a lock.
static_assert(std::atomic<UnrecoveredFaultHandler>::is_always_lock_free);
std::atomic<UnrecoveredFaultHandler> unrecovered_fault_handler = nullptr;

struct RecoveryPoint;
// Initial-exec: in the static TLS block of every thread, even in a library
// loaded later (the Python module), so that the trap handler reads it on any
// thread without the lazy allocation of dynamic TLS, which is not safe in a
// signal handler.
[[gnu::tls_model("initial-exec")]] thread_local RecoveryPoint* innermost = nullptr;

// One recovery point, in RunRecoveringFaults's own frame. However that frame
// is left (a return, the jump back after a fault, an exception from the
// body), the destructor makes the outer point the innermost again, and
// `traps` gives back the floating-point environment.
struct RecoveryPoint {
  RecoveryPoint() : outer(innermost) {}
  ~RecoveryPoint() { innermost = outer; }
  RecoveryPoint(const RecoveryPoint&) = delete;
  RecoveryPoint& operator=(const RecoveryPoint&) = delete;

  sigjmp_buf jump;
  // Set by RaiseFault between sigsetjmp and siglongjmp, hence volatile.
  volatile RuntimeError fault = RuntimeError::kNone;
  RecoveryPoint* const outer;
  ScopedArmedTraps traps;
};

}  // namespace

RuntimeError RunRecoveringFaults(void (*body)(void*), void* context) {
  RecoveryPoint point;
  // The signal mask is not saved: the trap handler runs with SIGFPE
  // unblocked, so a jump out of it leaves the mask as it was, and entering a
  // recovery point costs no system call.
  if (sigsetjmp(point.jump, 0) != 0) return point.fault;
  innermost = &point;
  body(context);
  return RuntimeError::kNone;
}

void RaiseFault(RuntimeError error) {
  RecoveryPoint* point = innermost;
  if (point == nullptr) {
    const UnrecoveredFaultHandler handler = unrecovered_fault_handler.load();
    if (handler != nullptr) handler(error);
    ReportRuntimeError(error);
  }
  point->fault = error;
  siglongjmp(point->jump, 1);
}

void SetUnrecoveredFaultHandler(UnrecoveredFaultHandler handler) {
  unrecovered_fault_handler.store(handler);
}

}  // namespace recharge
