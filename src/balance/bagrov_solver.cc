#include "balance/bagrov_solver.h"

#include <cmath>

#include "runtime/math_functions.h"

namespace recharge {

double BagrovIntegrand(const double& E, const double& ETp, const double& nB) {
  constexpr double kRatioCap = 0.9999;
  double r = E / ETp;
  r = (kRatioCap > r) ? r : kRatioCap;
  return 1.0 / (1.0 - Pow(r, nB));
}

void BagrovIntegral(const double& ETp, const double& E, const double& nB, double& result) {
  constexpr int kIntervalPairs = 100;
  constexpr double kIntervals = 2 * kIntervalPairs;
  constexpr double kOneThird = 0.33333334f;  // 1/3 in single precision: 1/3 * (1 + 3.0e-8)
  const double h = E / kIntervals;
  // The grid is built by repeated addition of h, so its last point is only
  // close to E; the upper ordinate is taken at E itself. It enters the loop's
  // sum with weight 2 and is subtracted once: weights 1, 4, 2, ..., 2, 4, 1.
  double x = 0.0;
  double sum = BagrovIntegrand(0.0, ETp, nB);
  for (int i = 0; i < kIntervalPairs; ++i) {
    x = x + h;
    sum = 4.0 * BagrovIntegrand(x, ETp, nB) + sum;
    x = x + h;
    const double fx = BagrovIntegrand(x, ETp, nB);
    sum = (sum + fx) + fx;
  }
  const double fE = BagrovIntegrand(E, ETp, nB);
  result = ((sum - fE) * h) * kOneThird;
}

namespace {

// Regression guess of ETa/ETp, limited to 0.3 ... 0.99.
double InitialRatio(const double& nB, const double& P, const double& ETp) {
  constexpr double kRootFactor = 0.6198f;
  constexpr double kCoefficientFactor = 0.0495f;
  constexpr double kConstant = -0.00406f;
  constexpr double kUpper = 0.99;
  constexpr double kLower = 0.3;
  const double b = Sqrt(P / ETp);
  double r0 = (b * kRootFactor + nB * kCoefficientFactor) + kConstant;
  r0 = (kUpper > r0) ? r0 : kUpper;
  r0 = (kLower < r0) ? r0 : kLower;
  return r0;
}

}  // namespace

BagrovOutcome SolveBagrov(const double& nB, const double& P, const double& ETp, double& ETa) {
  constexpr double kShortcutCoefficient = 9.5;
  constexpr double kHumidityFactor = 2.0;
  constexpr double kShortcutRatio = 0.998f;
  constexpr double kDamping = 0.5;
  constexpr double kTolerance = 0.0001f;  // cm, on the integral
  constexpr int kIterationLimit = 500;

  double E = InitialRatio(nB, P, ETp) * ETp;
  double E_new;
  int k = 0;
  if (nB >= kShortcutCoefficient || !(kHumidityFactor * ETp > P)) {
    E_new = kShortcutRatio * ETp;
  } else {
    double f = BagrovIntegrand(E, ETp, nB);
    double PI;
    BagrovIntegral(ETp, E, nB, PI);
    double F = PI - P;
    for (;;) {
      k = k + 1;
      E_new = E - (F / f) * kDamping;
      // Tested on the integral before the step: the accepted estimate is
      // one half step beyond the one that met the tolerance.
      if (!(std::abs(PI - P) >= kTolerance)) break;
      BagrovIntegral(ETp, E_new, nB, PI);
      F = PI - P;
      f = BagrovIntegrand(E_new, ETp, nB);
      E = E_new;
      if (k > kIterationLimit) return {.converged = false, .newton_steps = k};
    }
  }
  ETa = (E_new > ETp) ? ETp : E_new;
  ETa = (P > ETa) ? ETa : P;
  return {.converged = true, .newton_steps = k};
}

}  // namespace recharge
