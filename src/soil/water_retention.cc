#include "soil/water_retention.h"

#include "runtime/math_functions.h"

namespace recharge {

double MualemExponent(const double& n) { return 1.0 - 1.0 / n; }

void WaterContentAtHead(const double& theta_r, const double& theta_s, const double& alpha,
                        const double& n, const double& h, double& theta) {
  const double a = h * alpha;
  const double b = Pow(a, n);
  const double c = 1.0 + b;
  const double e = 1.0 - (1.0 / n);
  const double d = Pow(c, e);
  theta = (theta_s - theta_r) / d + theta_r;
}

}  // namespace recharge
