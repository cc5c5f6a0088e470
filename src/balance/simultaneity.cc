#include "balance/simultaneity.h"

namespace recharge {

void SimultaneityAccumulator::AddMonth(const double& rain, const double& etp) {
  sum_etp_ = etp + sum_etp_;
  const double d = etp - rain;
  deficit_ = ((d > 0.0) ? d : 0.0) + deficit_;
}

double SimultaneityAccumulator::Cs() const { return deficit_ / sum_etp_; }

}  // namespace recharge
