#include "balance/hydropedotransfer.h"

namespace recharge {

void Hydropedotransfer(Arithmetic& ops, const ClimateInputs& climate, const double& qmax,
                       const double& Wmax, double& g, double& ETa) {
  constexpr double kRiseExponent = 0.90303f;
  constexpr double kRiseFactor = 0.70125f;
  constexpr double kSummerRainFactor = 0.016856f;
  constexpr double kStorageFactor = 0.0099135f;
  constexpr double kIntercept = 0.05358f;
  const double a = ops.Pow(qmax, kRiseExponent);
  const double rise = ops.Mul(a, kRiseFactor);
  const double rain = ops.Mul(climate.Ps, kSummerRainFactor);
  const double storage = ops.Mul(Wmax, kStorageFactor);
  g = ops.Add(ops.Add(ops.Add(rise, rain), storage), kIntercept);
  ETa = ops.Sub(climate.ETp, ops.Mul(ops.Sub(1.0, g), climate.ETps));
  if (ops.Greater(ETa, climate.ETp)) ETa = climate.ETp;
}

}  // namespace recharge
