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
// gives the thread back the whole environment it had before: the enabled
// traps, the exception flags, the rounding. A jump out of a signal handler
// to a frame that holds one, which leaves the environment the kernel gave
// the handler, is undone too.
class ScopedArmedTraps {
 public:
  ScopedArmedTraps();
  ~ScopedArmedTraps();
  ScopedArmedTraps(const ScopedArmedTraps&) = delete;
  ScopedArmedTraps& operator=(const ScopedArmedTraps&) = delete;

 private:
  std::fenv_t saved_;
};

}  // namespace recharge
