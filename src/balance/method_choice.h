// Choice between the Bagrov method and the hydropedotransfer regression. The
// regression serves dry sites with capillary rise: P * 1.15 < ETp and
// qmax > 0.01 cm/d. Both thresholds are single-precision numbers, so P = 100
// with ETp = 115 is not humid enough (100 * 1.15f < 115), and a qmax equal to
// the double 0.01 is above 0.01f.
#pragma once

#include "balance/climate_inputs.h"
#include "runtime/checked_arithmetic.h"

namespace recharge {

// True for the Bagrov method, false for the hydropedotransfer method.
bool UsesBagrovMethod(Arithmetic& ops, const ClimateInputs& climate, const double& qmax);

}  // namespace recharge
