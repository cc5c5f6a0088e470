// What one soil's pass through the water balance gives.
#pragma once

#include "runtime/checked_arithmetic.h"

namespace recharge {

struct CaseResult {
  double nB;   // Bagrov coefficient (Bagrov method only)
  double g;    // share of summer potential evapotranspiration met (regression only)
  double ETa;  // actual evapotranspiration, cm
  double R;    // groundwater recharge P - ETa, cm
};

// R = P - ETa, cm. Negative where the site takes more water from the
// groundwater than it gets as rain: a result, not an error.
double GroundwaterRecharge(Arithmetic& ops, const double& P, const double& ETa);

}  // namespace recharge
