#include "balance/simultaneity.h"

namespace recharge {

void SimultaneityAccumulator::AddMonth(Arithmetic& ops, const double& rain, const double& etp) {
  sum_etp_ = ops.Add(etp, sum_etp_);
  const double d = ops.Sub(etp, rain);
  deficit_ = ops.Add(ops.Greater(d, 0.0) ? d : 0.0, deficit_);
}

double SimultaneityAccumulator::Cs(Arithmetic& ops) const { return ops.Div(deficit_, sum_etp_); }

}  // namespace recharge
