#include "console/trap_environment.h"

#include <cfenv>
#include <csignal>

#include "console/termination.h"

namespace recharge {

namespace {

void OnFloatingPointTrap(int, siginfo_t* info, void*) {
  switch (info->si_code) {
    case FPE_FLTDIV:
      ReportMathError(kMathDivideByZero, "floating-point error: divide by zero");
    case FPE_FLTOVF:
      ReportMathError(kMathOverflow, "floating-point error: overflow");
    default:
      ReportMathError(kMathInvalid, "floating-point error: invalid");
  }
}

}  // namespace

void SetUpTrapEnvironment() {
  feenableexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  struct sigaction action = {};
  action.sa_sigaction = OnFloatingPointTrap;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  sigaction(SIGFPE, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace recharge
