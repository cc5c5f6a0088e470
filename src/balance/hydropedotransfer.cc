#include "balance/hydropedotransfer.h"

#include "runtime/math_functions.h"

namespace recharge {

void Hydropedotransfer(const ClimateInputs& climate, const double& qmax, const double& Wmax,
                       double& g, double& ETa) {
  constexpr double kRiseExponent = 0.90303f;
  constexpr double kRiseFactor = 0.70125f;
  constexpr double kSummerRainFactor = 0.016856f;
  constexpr double kStorageFactor = 0.0099135f;
  constexpr double kIntercept = 0.05358f;
  const double a = Pow(qmax, kRiseExponent);
  g = ((a * kRiseFactor + climate.Ps * kSummerRainFactor) + Wmax * kStorageFactor) + kIntercept;
  ETa = climate.ETp - (1.0 - g) * climate.ETps;
  if (ETa > climate.ETp) ETa = climate.ETp;
}

}  // namespace recharge
