#include "balance/method_choice.h"

namespace recharge {

bool UsesBagrovMethod(const ClimateInputs& climate, const double& qmax) {
  constexpr double kHumidityFactor = 1.15f;
  constexpr double kCapillaryRiseThreshold = 0.01f;  // cm/d
  if (climate.P * kHumidityFactor >= climate.ETp) return true;
  return qmax <= kCapillaryRiseThreshold;
}

}  // namespace recharge
