#include "runtime/trap_environment.h"

#include <csignal>

#include "runtime/fault_recovery.h"
#include "runtime/thread_traps.h"

namespace recharge {

namespace {

void OnFloatingPointTrap(int signal, siginfo_t* info, void*) {
  switch (info->si_code) {
    case FPE_FLTINV:
      RaiseFault(RuntimeError::kFloatingInvalid);
    case FPE_FLTDIV:
      RaiseFault(RuntimeError::kFloatingDivideByZero);
    case FPE_FLTOVF:
      RaiseFault(RuntimeError::kFloatingOverflow);
    default:
      // Sent by a process (si_code <= 0: kill, sigqueue, tgkill) or raised
      // by another operation (FPE_INTDIV): the default action, at once, as
      // SIGFPE is not blocked here.
      std::signal(signal, SIG_DFL);
      std::raise(signal);
  }
}

}  // namespace

void SetUpTrapEnvironment() {
  ArmTraps();
  struct sigaction action = {};
  action.sa_sigaction = OnFloatingPointTrap;
  // SA_NODEFER: SIGFPE stays unblocked while the handler runs, so that a jump
  // back to a recovery point leaves the signal mask as it found it.
  action.sa_flags = SA_SIGINFO | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  sigaction(SIGFPE, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace recharge
