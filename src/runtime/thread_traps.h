// The floating-point traps of the calling thread; the floating-point
// environment is per thread. Invalid operation, division by zero and overflow
// trap; underflow, denormal operands and inexact results do not.
//
//   {
//     ScopedArmedTraps armed;   // traps armed
//     ...                       // 1.0 / 0.0 here raises SIGFPE
//   }                           // traps and flags as before the scope
#pragma once

#include <cfenv>

namespace recharge {

inline constexpr int kTrappedExceptions = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// Clears the exception flags and arms the three traps.
void ArmTraps();

// Arms the traps for its lifetime, unless they are armed already, and then
// gives the thread back what it had before: the enabled traps, the exception
// flags, the rounding direction; also after a jump out of a signal handler to
// a frame that holds one, which leaves the environment the kernel gave the
// handler. Each is set back only where it differs: reading them costs a few
// nanoseconds, setting the flags (like saving the whole environment) about
// 80 on x86-64.
class ScopedArmedTraps {
 public:
  ScopedArmedTraps();
  ~ScopedArmedTraps();
  ScopedArmedTraps(const ScopedArmedTraps&) = delete;
  ScopedArmedTraps& operator=(const ScopedArmedTraps&) = delete;

 private:
  const int traps_;       // fegetexcept()
  const int raised_;      // fetestexcept(FE_ALL_EXCEPT)
  const int rounding_;    // fegetround()
  std::fexcept_t flags_;  // raised_, to be set back
};

}  // namespace recharge
