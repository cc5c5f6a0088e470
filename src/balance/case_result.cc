#include "balance/case_result.h"

namespace recharge {

double GroundwaterRecharge(Arithmetic& ops, const double& P, const double& ETa) {
  return ops.Sub(P, ETa);
}

}  // namespace recharge
