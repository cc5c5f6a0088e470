#include "runtime/trap_environment.h"

#include <csignal>
#include <mutex>

#include "runtime/fault_recovery.h"
#include "runtime/thread_traps.h"

namespace recharge {

namespace {

void OnFloatingPointTrap(int signal, siginfo_t* info, void*);

struct sigaction HandlerAction() {
  struct sigaction action = {};
  action.sa_sigaction = OnFloatingPointTrap;
  // SA_NODEFER: SIGFPE stays unblocked while the handler runs, so that a jump
  // back to a recovery point leaves the signal mask as it found it.
  action.sa_flags = SA_SIGINFO | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  return action;
}

// What a SIGFPE that is no fault inside a recovery point goes on to: the
// default action (all zero), unless a TrapHandlerScope found another.
struct sigaction earlier_action = {};

// Puts the earlier action back and raises the signal again, which takes it at
// once, SIGFPE not being blocked here; the handler is back if it returns.
void ToEarlierAction(int signal) {
  sigaction(signal, &earlier_action, nullptr);
  std::raise(signal);
  const struct sigaction handler = HandlerAction();
  sigaction(signal, &handler, nullptr);
}

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
      // by another operation (FPE_INTDIV).
      ToEarlierAction(signal);
  }
}

// A fault outside every recovery point within a scope: a trap the program
// armed itself. It cannot be resumed: where the earlier action returns, the
// default one ends the process.
void UnrecoveredToEarlierAction(RuntimeError) {
  ToEarlierAction(SIGFPE);
  std::signal(SIGFPE, SIG_DFL);
  std::raise(SIGFPE);
}

std::mutex scope_mutex;
int scopes = 0;  // under scope_mutex

}  // namespace

void SetUpTrapEnvironment() {
  ArmTraps();
  const struct sigaction handler = HandlerAction();
  sigaction(SIGFPE, &handler, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

TrapHandlerScope::TrapHandlerScope() {
  std::lock_guard lock(scope_mutex);
  if (scopes++ > 0) return;
  SetUnrecoveredFaultHandler(UnrecoveredToEarlierAction);
  // Kept before the handler can run.
  sigaction(SIGFPE, nullptr, &earlier_action);
  const struct sigaction handler = HandlerAction();
  sigaction(SIGFPE, &handler, nullptr);
}

TrapHandlerScope::~TrapHandlerScope() {
  std::lock_guard lock(scope_mutex);
  if (--scopes > 0) return;
  struct sigaction current;
  sigaction(SIGFPE, nullptr, &current);
  const bool ours = (current.sa_flags & SA_SIGINFO) && current.sa_sigaction == OnFloatingPointTrap;
  if (ours) sigaction(SIGFPE, &earlier_action, nullptr);
}

}  // namespace recharge
