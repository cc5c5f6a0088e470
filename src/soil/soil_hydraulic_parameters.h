// Van Genuchten/Mualem parameters of the current soil and the site depths.
#pragma once

namespace recharge {

struct SoilHydraulicParameters {
  double theta_r;  // residual water content, cm3/cm3
  double theta_s;  // saturated water content, cm3/cm3
  double alpha;    // 1/cm
  double n;
  double m;   // 1 - 1/n, derived whenever a parameter set is taken
  double p1;  // coefficient of the qmax estimate
  double p2;  // exponent of the qmax estimate
};

struct SiteInputs {
  double zr;   // root zone depth, cm
  double zgw;  // depth to groundwater, cm
};

}  // namespace recharge
