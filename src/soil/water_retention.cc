#include "soil/water_retention.h"

namespace recharge {

double MualemExponent(Arithmetic& ops, const double& n) { return ops.Sub(1.0, ops.Div(1.0, n)); }

void WaterContentAtHead(Arithmetic& ops, const double& theta_r, const double& theta_s,
                        const double& alpha, const double& n, const double& h, double& theta) {
  const double a = ops.Mul(h, alpha);
  const double b = ops.Pow(a, n);
  const double c = ops.Add(1.0, b);
  const double e = ops.Sub(1.0, ops.Div(1.0, n));
  const double d = ops.Pow(c, e);
  theta = ops.Add(ops.Div(ops.Sub(theta_s, theta_r), d), theta_r);
}

}  // namespace recharge
