// The climate of one case. All amounts are long-term annual averages in cm.
#pragma once

namespace recharge {

struct ClimateInputs {
  double P;     // precipitation
  double ETp;   // potential evapotranspiration
  double Ps;    // summer precipitation
  double ETps;  // summer potential evapotranspiration
  double Cs;    // coefficient of simultaneity, dimensionless
};

}  // namespace recharge
