// Coefficient of simultaneity: the share of the growing season's (April to
// September) potential evapotranspiration that the rain of the same month
// does not meet,
//   Cs = sum over months of max(ETp - rain, 0) / sum over months of ETp.
//
// Example: rain 5 6 7 8 6 5 and ETp 4 8 10 9 7 4 (cm) leave deficits
// 0 2 3 1 1 0, so Cs = 7 / 42 = 0.167.
#pragma once

#include "runtime/checked_arithmetic.h"

namespace recharge {

// A new accumulator starts both sums at zero: take one per case.
class SimultaneityAccumulator {
 public:
  // Adds one month, in the order the months are read.
  void AddMonth(Arithmetic& ops, const double& rain, const double& etp);
  // Divides the sums: a zero sum of ETp is a division by zero.
  double Cs(Arithmetic& ops) const;

 private:
  double sum_etp_ = 0.0;  // cm
  double deficit_ = 0.0;  // cm
};

}  // namespace recharge
