#include "soil/soil_water_quantities.h"

#include <gtest/gtest.h>

namespace recharge {
namespace {

// The checked arithmetic of the steps under test (every value here is safe).
Arithmetic ops;

// Sand Ss (table class 1), zr 60 cm, zgw 200 cm. Exact values recomputed by
// tests/reference/model_reference.py; the published rounded figures are in
// the comments.
TEST(SoilWaterQuantitiesTest, SandWorkedExample) {
  SoilHydraulicParameters soil{0.0, 0.3879f, 0.26437f, 1.35154f, 0.0, 1524.4f, -2.4467f};
  soil.m = 1.0 - 1.0 / soil.n;
  const SiteInputs site{60.0, 200.0};
  SoilWaterQuantities q{};
  ComputeStorage(ops, soil, site, q);
  EstimateQmax(ops, site, soil, q);
  ComputeAnaerobiosisHead(ops, soil, q);
  EXPECT_EQ(q.Wmax, 7.367344032924529);     // 7.367 cm
  EXPECT_EQ(q.qmax, 0.008553961197027261);  // 0.008554 cm/d
  EXPECT_EQ(q.Se, 0.8711007955430046);      // 0.8711
  EXPECT_EQ(q.h_an, 2.9047897020417253);    // 2.905 cm
}

TEST(SoilWaterQuantitiesTest, QmaxNearGroundwaterAndCap) {
  struct Case {
    double zr, zgw, p1, p2, qmax;
  };
  const Case cases[] = {
      {60.0, 61.0, 0.5, -1.0, 1.0},   // zr + 1 = zgw: no estimate (it would be 0.5)
      {60.0, 62.0, 0.5, -1.0, 0.25},  // just beyond: 0.5 * 2^-1
      {60.0, 62.0, 4.0, -1.0, 1.0},   // estimate 2 capped
      {60.0, 50.0, 0.5, -1.5, 1.0},   // groundwater in the root zone: no power of -10
      // Clay Tt (class 24), zr 60, zgw 100: 62.126 * 40^-1.8051 = 0.07969.
      {60.0, 100.0, 62.126f, -1.8051f, 0.07968837220912264},
  };
  for (const Case& c : cases) {
    SoilHydraulicParameters soil{};
    soil.p1 = c.p1;
    soil.p2 = c.p2;
    SoilWaterQuantities q{};
    q.qmax = -1.0;
    EstimateQmax(ops, SiteInputs{c.zr, c.zgw}, soil, q);
    EXPECT_EQ(q.qmax, c.qmax) << "zr " << c.zr << ", zgw " << c.zgw << ", p1 " << c.p1;
  }
}

}  // namespace
}  // namespace recharge
