#include "runtime/trap_environment.h"

#include <cfenv>
#include <csignal>

#include "runtime/fault_recovery.h"

namespace recharge {

namespace {

void OnFloatingPointTrap(int signal, siginfo_t* info, void*) {
  // Sent by a process (kill, sigqueue, tgkill), not raised by an operation.
  if (info->si_code <= 0) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  switch (info->si_code) {
    case FPE_FLTDIV:
      RaiseFault(RuntimeError::kFloatingDivideByZero);
    case FPE_FLTOVF:
      RaiseFault(RuntimeError::kFloatingOverflow);
    default:
      RaiseFault(RuntimeError::kFloatingInvalid);
  }
}

}  // namespace

void ArmTraps() {
  std::feclearexcept(FE_ALL_EXCEPT);
  feenableexcept(kTrappedExceptions);
}

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
