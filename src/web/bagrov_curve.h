// The Bagrov curve of a soil as the model computes it: ETa/ETp against
// P/ETp for the soil's coefficient nB, each point a whole solve with ETp 1
// (bagrov_solver.h), the very humid shortcut (0.998 from P/ETp = 2 on)
// included. A point whose solve faults or does not converge is NaN.
//
//   nB 2, P/ETp 1 -> ETa/ETp near tanh(1) = 0.7616 (the closed solution)
#pragma once

namespace recharge::web {

// `count` points (at least 2) from P/ETp = 0 to `largest`, evenly spaced:
// x at ratios[2i], ETa/ETp at ratios[2i + 1].
void BagrovCurve(double nB, double largest, int count, double* ratios);

}  // namespace recharge::web
