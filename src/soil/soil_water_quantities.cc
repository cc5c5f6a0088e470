#include "soil/soil_water_quantities.h"

#include "runtime/math_functions.h"
#include "soil/water_retention.h"

namespace recharge {

void ComputeStorage(const SoilHydraulicParameters& soil, const SiteInputs& site,
                    SoilWaterQuantities& q) {
  constexpr double kFieldCapacityHead = 63.0;    // cm
  constexpr double kWiltingPointHead = 15800.0;  // cm
  WaterContentAtHead(soil.theta_r, soil.theta_s, soil.alpha, soil.n, kFieldCapacityHead, q.FC);
  WaterContentAtHead(soil.theta_r, soil.theta_s, soil.alpha, soil.n, kWiltingPointHead, q.WP);
  q.Wmax = (q.FC - q.WP) * site.zr;
}

void EstimateQmax(const SiteInputs& site, const SoilHydraulicParameters& soil,
                  SoilWaterQuantities& q) {
  constexpr double kCap = 1.0;          // cm/d, also the value for shallow groundwater
  constexpr double kDepthMargin = 1.0;  // cm
  q.qmax = kCap;
  // An unordered comparison goes on to the estimate.
  if (site.zr + kDepthMargin >= site.zgw) return;
  double x = Pow(site.zgw - site.zr, soil.p2);
  x = x * soil.p1;
  q.qmax = (kCap > x) ? x : kCap;
}

void ComputeAnaerobiosisHead(const SoilHydraulicParameters& soil, SoilWaterQuantities& q) {
  constexpr double kAirContent = 0.05f;  // cm3/cm3 of air at which roots suffocate
  q.Se = ((soil.theta_s - kAirContent) - soil.theta_r) / (soil.theta_s - soil.theta_r);
  const double t = -(1.0 / soil.m);
  double u = Pow(q.Se, t);
  u = u - 1.0;
  const double v = Pow(u, 1.0 / soil.n);
  q.h_an = v * (1.0 / soil.alpha);
}

}  // namespace recharge
