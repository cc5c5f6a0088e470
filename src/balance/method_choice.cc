#include "balance/method_choice.h"

namespace recharge {

bool UsesBagrovMethod(Arithmetic& ops, const ClimateInputs& climate, const double& qmax) {
  constexpr double kHumidityFactor = 1.15f;
  constexpr double kCapillaryRiseThreshold = 0.01f;  // cm/d
  if (ops.GreaterEqual(ops.Mul(climate.P, kHumidityFactor), climate.ETp)) return true;
  return ops.LessEqual(qmax, kCapillaryRiseThreshold);
}

}  // namespace recharge
