#include "runtime/fault_recovery.h"

#include <setjmp.h>

#include <cfenv>

#include "runtime/termination.h"
#include "runtime/trap_environment.h"

namespace recharge {

namespace {

struct RecoveryPoint {
  sigjmp_buf jump;
  RuntimeError fault;
  RecoveryPoint* outer;
};

thread_local RecoveryPoint* innermost = nullptr;

}  // namespace

RuntimeError RunRecoveringFaults(void (*body)(void*), void* context) {
  RecoveryPoint point;
  point.fault = RuntimeError::kNone;
  point.outer = innermost;
  // The signal mask is not saved: the trap handler runs with SIGFPE
  // unblocked, so a jump out of it leaves the mask as it was, and entering a
  // recovery point costs no system call.
  if (sigsetjmp(point.jump, 0) != 0) {
    // The handler ran with the masked environment the kernel gives it.
    innermost = point.outer;
    ArmTraps();
    return point.fault;
  }
  // Armed already, unless this thread began without the traps.
  if (fegetexcept() != kTrappedExceptions) ArmTraps();
  innermost = &point;
  body(context);
  innermost = point.outer;
  return RuntimeError::kNone;
}

void RaiseFault(RuntimeError error) {
  RecoveryPoint* point = innermost;
  if (point == nullptr) ReportRuntimeError(error);
  point->fault = error;
  siglongjmp(point->jump, 1);
}

}  // namespace recharge
