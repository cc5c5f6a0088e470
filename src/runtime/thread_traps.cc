#include "runtime/thread_traps.h"

namespace recharge {

void ArmTraps() {
  std::feclearexcept(FE_ALL_EXCEPT);
  feenableexcept(kTrappedExceptions);
}

ScopedArmedTraps::ScopedArmedTraps() {
  std::fegetenv(&saved_);
  ArmTraps();
}

ScopedArmedTraps::~ScopedArmedTraps() { std::fesetenv(&saved_); }

}  // namespace recharge
