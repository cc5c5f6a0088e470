#include "runtime/thread_traps.h"

namespace recharge {

void ArmTraps() {
  std::feclearexcept(FE_ALL_EXCEPT);
  feenableexcept(kTrappedExceptions);
}

ScopedArmedTraps::ScopedArmedTraps() {
  std::fegetenv(&saved_);
  // Clearing the flags costs as much as the saving: only when arming.
  if (fegetexcept() != kTrappedExceptions) ArmTraps();
}

ScopedArmedTraps::~ScopedArmedTraps() { std::fesetenv(&saved_); }

}  // namespace recharge
