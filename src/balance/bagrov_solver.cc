#include "balance/bagrov_solver.h"

#include <cmath>

#include "runtime/pow_batch.h"

namespace recharge {

namespace {

constexpr double kRatioCap = 0.9999;
constexpr int kIntervalPairs = 100;
constexpr double kIntervals = 2 * kIntervalPairs;
constexpr double kOneThird = 0.33333334f;  // 1/3 in single precision: 1/3 * (1 + 3.0e-8)

// The grid is built by repeated addition of h, so its last point is only
// close to E; the upper ordinate is taken at E itself. It enters the loop's
// sum with weight 2 and is subtracted once: weights 1, 4, 2, ..., 2, 4, 1.
void CheckedIntegral(Arithmetic& ops, const double& ETp, const double& E, const double& nB,
                     double& result) {
  const double h = ops.Div(E, kIntervals);
  double x = 0.0;
  double sum = BagrovIntegrand(ops, 0.0, ETp, nB);
  for (int i = 0; i < kIntervalPairs; ++i) {
    x = ops.Add(x, h);
    sum = ops.Add(ops.Mul(4.0, BagrovIntegrand(ops, x, ETp, nB)), sum);
    x = ops.Add(x, h);
    const double fx = BagrovIntegrand(ops, x, ETp, nB);
    sum = ops.Add(ops.Add(sum, fx), fx);
  }
  const double fE = BagrovIntegrand(ops, E, ETp, nB);
  result = ops.Mul(ops.Mul(ops.Sub(sum, fE), h), kOneThird);
}

// The same operations on operands that cannot fault, in the same order, but
// with the 202 powers of the ratios taken at once (PowBatch): the same bits.
void PlainIntegral(const double& ETp, const double& E, const double& nB, double& result) {
  constexpr int kPoints = 2 * kIntervalPairs + 2;  // the grid from 0, then E
  double ratio[kPoints];
  const double h = E / kIntervals;
  double x = 0.0;
  for (int i = 0; i < kPoints; ++i) {
    const double r = (i == kPoints - 1 ? E : x) / ETp;
    ratio[i] = kRatioCap > r ? r : kRatioCap;
    x = x + h;
  }
  double f[kPoints];
  PowBatch(ratio, nB, f, kPoints);
  for (double& value : f) value = 1.0 / (1.0 - value);
  double sum = f[0];
  for (int i = 0; i < kIntervalPairs; ++i) {
    sum = 4.0 * f[2 * i + 1] + sum;
    sum = (sum + f[2 * i + 2]) + f[2 * i + 2];
  }
  result = ((sum - f[kPoints - 1]) * h) * kOneThird;
}

}  // namespace

double BagrovIntegrand(Arithmetic& ops, const double& E, const double& ETp, const double& nB) {
  double r = ops.Div(E, ETp);
  r = ops.Greater(kRatioCap, r) ? r : kRatioCap;
  return ops.Div(1.0, ops.Sub(1.0, ops.Pow(r, nB)));
}

void BagrovIntegral(Arithmetic& ops, const double& ETp, const double& E, const double& nB,
                    double& result) {
  if (E >= 0.0 && E <= 1e290 && ETp >= 1e-8 && nB >= 0.5 && nB <= 10.0) {
    PlainIntegral(ETp, E, nB, result);
  } else {
    CheckedIntegral(ops, ETp, E, nB, result);
  }
}

namespace {

// Regression guess of ETa/ETp, limited to 0.3 ... 0.99.
double InitialRatio(Arithmetic& ops, const double& nB, const double& P, const double& ETp) {
  constexpr double kRootFactor = 0.6198f;
  constexpr double kCoefficientFactor = 0.0495f;
  constexpr double kConstant = -0.00406f;
  constexpr double kUpper = 0.99;
  constexpr double kLower = 0.3;
  const double b = ops.Sqrt(ops.Div(P, ETp));
  const double root = ops.Mul(b, kRootFactor);
  double r0 = ops.Add(ops.Add(root, ops.Mul(nB, kCoefficientFactor)), kConstant);
  r0 = ops.Greater(kUpper, r0) ? r0 : kUpper;
  r0 = ops.Less(kLower, r0) ? r0 : kLower;
  return r0;
}

}  // namespace

BagrovOutcome SolveBagrov(Arithmetic& ops, const double& nB, const double& P, const double& ETp,
                          double& ETa) {
  constexpr double kShortcutCoefficient = 9.5;
  constexpr double kHumidityFactor = 2.0;
  constexpr double kShortcutRatio = 0.998f;
  constexpr double kDamping = 0.5;
  constexpr double kTolerance = 0.0001f;  // cm, on the integral
  constexpr int kIterationLimit = 500;

  double E = ops.Mul(InitialRatio(ops, nB, P, ETp), ETp);
  double E_new;
  int k = 0;
  if (ops.GreaterEqual(nB, kShortcutCoefficient) ||
      !ops.Greater(ops.Mul(kHumidityFactor, ETp), P)) {
    E_new = ops.Mul(kShortcutRatio, ETp);
  } else {
    double f = BagrovIntegrand(ops, E, ETp, nB);
    double PI;
    BagrovIntegral(ops, ETp, E, nB, PI);
    double F = ops.Sub(PI, P);
    for (;;) {
      k = k + 1;
      E_new = ops.Sub(E, ops.Mul(ops.Div(F, f), kDamping));
      // Tested on the integral before the step: the accepted estimate is
      // one half step beyond the one that met the tolerance.
      if (!ops.GreaterEqual(std::abs(ops.Sub(PI, P)), kTolerance)) break;
      BagrovIntegral(ops, ETp, E_new, nB, PI);
      F = ops.Sub(PI, P);
      f = BagrovIntegrand(ops, E_new, ETp, nB);
      E = E_new;
      // A fault ends the pass at its step: no more iterations on what it left.
      if (!ops.ok()) return {.converged = true, .newton_steps = k};
      if (k > kIterationLimit) return {.converged = false, .newton_steps = k};
    }
  }
  ETa = ops.Greater(E_new, ETp) ? ETp : E_new;
  ETa = ops.Greater(P, ETa) ? ETa : P;
  return {.converged = true, .newton_steps = k};
}

}  // namespace recharge
