// Soil water quantities of one soil at one site, derived from its
// van Genuchten/Mualem parameters and the depths of root zone and groundwater.
//
// Example, sand Ss (table class 1) with zr = 60 cm and zgw = 200 cm:
//   FC = 0.1435, WP = 0.0207, Wmax = (FC - WP) * zr = 7.367 cm,
//   qmax = 1524.4 * 140^-2.4467 = 0.008554 cm/d,
//   Se = 0.8711 and h_an = 2.905 cm.
#pragma once

#include "runtime/checked_arithmetic.h"
#include "soil/soil_hydraulic_parameters.h"

namespace recharge {

struct SoilWaterQuantities {
  double FC;    // field capacity: water content at 63 cm suction, cm3/cm3
  double WP;    // wilting point: water content at 15800 cm suction, cm3/cm3
  double Wmax;  // maximum plant-available water of the root zone, cm
  double qmax;  // maximum capillary rise rate from the groundwater, cm/d
  double h_an;  // suction at which severe anaerobiosis sets in, cm
  double Se;    // relative saturation at h_an
};

// FC, WP and Wmax = (FC - WP) * zr. No limits: zr = 0 gives Wmax = 0.
void ComputeStorage(Arithmetic& ops, const SoilHydraulicParameters& soil, const SiteInputs& site,
                    SoilWaterQuantities& q);

// qmax = p1 * (zgw - zr)^p2 capped at 1 cm/d; 1 cm/d when the groundwater
// reaches to within 1 cm of the root zone (zr + 1 >= zgw), so the power never
// sees a base below 1.
void EstimateQmax(Arithmetic& ops, const SiteInputs& site, const SoilHydraulicParameters& soil,
                  SoilWaterQuantities& q);

// Se and h_an: the suction at which the water content is 0.05 below theta_s,
// h_an = (1/alpha) * (Se^(-1/m) - 1)^(1/n). Uses the stored m. Needs
// theta_s - theta_r > 0.05, n != 1 and alpha != 0; other parameters are a
// floating-point or power-function fault in `ops`.
void ComputeAnaerobiosisHead(Arithmetic& ops, const SoilHydraulicParameters& soil,
                             SoilWaterQuantities& q);

}  // namespace recharge
