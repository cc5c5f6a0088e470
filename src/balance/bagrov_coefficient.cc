#include "balance/bagrov_coefficient.h"

namespace recharge {

double EstimateBagrovCoefficient(Arithmetic& ops, const double& qmax, const double& Wmax,
                                 const double& Cs) {
  constexpr double kRiseExponent = 2.5884f;
  constexpr double kRiseFactor = 1.791f;
  constexpr double kStorageExponent = 1.0879f;
  constexpr double kStorageFactor = 0.18002f;
  const double t1 = ops.Mul(ops.Exp(ops.Mul(qmax, kRiseExponent)), kRiseFactor);
  const double t2 = ops.Mul(ops.Pow(Wmax, kStorageExponent), kStorageFactor);
  return ops.Add(ops.Add(t1, t2), Cs);
}

void CorrectForAnaerobiosis(Arithmetic& ops, const double& qmax, const double& h_an,
                            const double& FC, double& nB) {
  constexpr double kRiseExponent = 0.5354f;
  constexpr double kHeadOffset = 0.27405f;  // cm
  constexpr double kHeadFactor = 0.05794f;
  constexpr double kFieldCapacityFactor = 11.832f;
  const double a = ops.Pow(qmax, kRiseExponent);
  const double b = ops.Add(h_an, kHeadOffset);
  const double c = ops.Mul(ops.Mul(a, b), kHeadFactor);
  nB = ops.Sub(nB, c);
  nB = ops.Sub(nB, ops.Mul(FC, kFieldCapacityFactor));
}

void LimitBagrovCoefficient(Arithmetic& ops, double& nB) {
  constexpr double kUpper = 10.0;
  constexpr double kLower = 0.5;
  nB = ops.Less(nB, kUpper) ? nB : kUpper;
  if (ops.LessEqual(nB, kLower)) nB = kLower;
}

}  // namespace recharge
