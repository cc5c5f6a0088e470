// Hydropedotransfer regression for dry sites with capillary rise: the share g
// of the summer potential evapotranspiration that is actually evaporated,
//   g = 0.70125 * qmax^0.90303 + 0.016856 * Ps + 0.0099135 * Wmax + 0.05358,
// and ETa = ETp - (1 - g) * ETps, capped at ETp from above only: a summer
// shortfall larger than ETp gives a negative ETa (a recharge above P).
//
// Example, clay Tt (class 24) with zr 60 cm, zgw 100 cm (qmax 0.07969 cm/d,
// Wmax 7.014 cm), ETp 60, Ps 25, ETps 45: g = 0.6159, ETa = 42.72 cm.
#pragma once

#include "balance/climate_inputs.h"
#include "runtime/checked_arithmetic.h"

namespace recharge {

// qmax in cm/d, Wmax in cm; uses ETp, Ps and ETps of the climate.
void Hydropedotransfer(Arithmetic& ops, const ClimateInputs& climate, const double& qmax,
                       const double& Wmax, double& g, double& ETa);

}  // namespace recharge
