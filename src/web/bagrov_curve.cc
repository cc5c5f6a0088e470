#include "web/bagrov_curve.h"

#include <limits>

#include "balance/bagrov_solver.h"

namespace recharge::web {

void BagrovCurve(double nB, double largest, int count, double* ratios) {
  for (int i = 0; i < count; ++i) {
    const double P = largest * i / (count - 1);
    Arithmetic ops;
    double ETa = std::numeric_limits<double>::quiet_NaN();
    const BagrovOutcome solved = SolveBagrov(ops, nB, P, 1.0, ETa);
    const bool ok = solved.converged && ops.fault() == RuntimeError::kNone;
    ratios[2 * i] = P;
    ratios[2 * i + 1] = ok ? ETa : std::numeric_limits<double>::quiet_NaN();
  }
}

}  // namespace recharge::web
