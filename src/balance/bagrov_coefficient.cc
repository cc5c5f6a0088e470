#include "balance/bagrov_coefficient.h"

#include "runtime/math_functions.h"

namespace recharge {

double EstimateBagrovCoefficient(const double& qmax, const double& Wmax, const double& Cs) {
  constexpr double kRiseExponent = 2.5884f;
  constexpr double kRiseFactor = 1.791f;
  constexpr double kStorageExponent = 1.0879f;
  constexpr double kStorageFactor = 0.18002f;
  const double t1 = Exp(qmax * kRiseExponent) * kRiseFactor;
  const double t2 = Pow(Wmax, kStorageExponent) * kStorageFactor;
  return (t1 + t2) + Cs;
}

void CorrectForAnaerobiosis(const double& qmax, const double& h_an, const double& FC, double& nB) {
  constexpr double kRiseExponent = 0.5354f;
  constexpr double kHeadOffset = 0.27405f;  // cm
  constexpr double kHeadFactor = 0.05794f;
  constexpr double kFieldCapacityFactor = 11.832f;
  const double a = Pow(qmax, kRiseExponent);
  const double b = h_an + kHeadOffset;
  const double c = a * b * kHeadFactor;
  nB = nB - c;
  nB = nB - FC * kFieldCapacityFactor;
}

void LimitBagrovCoefficient(double& nB) {
  constexpr double kUpper = 10.0;
  constexpr double kLower = 0.5;
  nB = (nB < kUpper) ? nB : kUpper;
  if (nB <= kLower) nB = kLower;
}

}  // namespace recharge
