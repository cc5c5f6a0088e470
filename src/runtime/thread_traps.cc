#include "runtime/thread_traps.h"

namespace recharge {

void ArmTraps() {
  std::feclearexcept(FE_ALL_EXCEPT);
  feenableexcept(kTrappedExceptions);
}

ScopedArmedTraps::ScopedArmedTraps()
    : traps_(fegetexcept()),
      raised_(std::fetestexcept(FE_ALL_EXCEPT)),
      rounding_(std::fegetround()) {
  std::fegetexceptflag(&flags_, FE_ALL_EXCEPT);
  if (traps_ != kTrappedExceptions) ArmTraps();
}

// The flags are set with the caller's traps only: a flag set under a trap the
// caller did not have would trap at the next x87 instruction.
ScopedArmedTraps::~ScopedArmedTraps() {
  const int traps = fegetexcept();
  if ((traps & ~traps_) != 0) fedisableexcept(traps & ~traps_);
  if (std::fetestexcept(FE_ALL_EXCEPT) != raised_) std::fesetexceptflag(&flags_, FE_ALL_EXCEPT);
  if ((traps_ & ~traps) != 0) feenableexcept(traps_ & ~traps);
  if (std::fegetround() != rounding_) std::fesetround(rounding_);
}

}  // namespace recharge
