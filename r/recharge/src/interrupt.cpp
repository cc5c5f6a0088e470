#include "interrupt.h"

#include <R_ext/Utils.h>
#include <Rinternals.h>

namespace recharge::r {

namespace {

// R_CheckUserInterrupt jumps out of the frame that calls it when the user
// has interrupted: R_ToplevelExec gives it a frame of its own.
void CheckInterrupt(void*) { R_CheckUserInterrupt(); }

}  // namespace

bool Interrupted() { return R_ToplevelExec(CheckInterrupt, nullptr) == FALSE; }

}  // namespace recharge::r
