#include "soil/soil_water_quantities.h"

#include "soil/water_retention.h"

namespace recharge {

void ComputeStorage(Arithmetic& ops, const SoilHydraulicParameters& soil, const SiteInputs& site,
                    SoilWaterQuantities& q) {
  constexpr double kFieldCapacityHead = 63.0;    // cm
  constexpr double kWiltingPointHead = 15800.0;  // cm
  WaterContentAtHead(ops, soil.theta_r, soil.theta_s, soil.alpha, soil.n, kFieldCapacityHead, q.FC);
  WaterContentAtHead(ops, soil.theta_r, soil.theta_s, soil.alpha, soil.n, kWiltingPointHead, q.WP);
  q.Wmax = ops.Mul(ops.Sub(q.FC, q.WP), site.zr);
}

void EstimateQmax(Arithmetic& ops, const SiteInputs& site, const SoilHydraulicParameters& soil,
                  SoilWaterQuantities& q) {
  constexpr double kCap = 1.0;          // cm/d, also the value for shallow groundwater
  constexpr double kDepthMargin = 1.0;  // cm
  q.qmax = kCap;
  // An unordered comparison goes on to the estimate.
  if (ops.GreaterEqual(ops.Add(site.zr, kDepthMargin), site.zgw)) return;
  double x = ops.Pow(ops.Sub(site.zgw, site.zr), soil.p2);
  x = ops.Mul(x, soil.p1);
  q.qmax = ops.Greater(kCap, x) ? x : kCap;
}

void ComputeAnaerobiosisHead(Arithmetic& ops, const SoilHydraulicParameters& soil,
                             SoilWaterQuantities& q) {
  constexpr double kAirContent = 0.05f;  // cm3/cm3 of air at which roots suffocate
  const double pores = ops.Sub(ops.Sub(soil.theta_s, kAirContent), soil.theta_r);
  q.Se = ops.Div(pores, ops.Sub(soil.theta_s, soil.theta_r));
  const double t = -ops.Div(1.0, soil.m);
  double u = ops.Pow(q.Se, t);
  u = ops.Sub(u, 1.0);
  const double v = ops.Pow(u, ops.Div(1.0, soil.n));
  q.h_an = ops.Mul(v, ops.Div(1.0, soil.alpha));
}

}  // namespace recharge
