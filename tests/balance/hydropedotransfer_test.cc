#include "balance/hydropedotransfer.h"

#include <gtest/gtest.h>

#include "soil/soil_water_quantities.h"

namespace recharge {
namespace {

// The checked arithmetic of the steps under test (every value here is safe).
Arithmetic ops;

// The whole chain from the soil parameters, zr 60 cm, climate P 45, ETp 60,
// Ps 25, ETps 45 (dry: 45 * 1.15 < 60). Exact g and ETa recomputed by
// tests/reference/model_reference.py; the published rounded figures are in
// the comments.
void ExpectWorkedExample(const SoilHydraulicParameters& soil, const double zgw, const double g,
                         const double ETa) {
  const SiteInputs site{60.0, zgw};
  SoilWaterQuantities q{};
  ComputeStorage(ops, soil, site, q);
  EstimateQmax(ops, site, soil, q);
  double g_computed = 0.0;
  double ETa_computed = 0.0;
  Hydropedotransfer(ops, ClimateInputs{45.0, 60.0, 25.0, 45.0, 0.0}, q.qmax, q.Wmax, g_computed,
                    ETa_computed);
  EXPECT_EQ(g_computed, g);
  EXPECT_EQ(ETa_computed, ETa);
}

TEST(HydropedotransferTest, WorkedExamples) {
  // Clay Tt (class 24), zgw 100: g 0.6159, ETa 42.72 cm.
  ExpectWorkedExample({0.0, 0.5238f, 0.06612f, 1.05215f, 0.0, 62.126f, -1.8051f}, 100.0,
                      0.6159317650899049, 42.71692942904572);
  // Class 14, zgw 150: g 0.7783, ETa 50.03 cm, so a recharge of -5.03 cm.
  ExpectWorkedExample({0.1492f, 0.438f, 0.07013f, 1.24572f, 0.0, 761.5f, -1.7619f}, 150.0,
                      0.7783368504850385, 50.02515827182673);
}

TEST(HydropedotransferTest, CappedAtETpFromAboveOnly) {
  double g = 0.0;
  double ETa = 0.0;
  // qmax 1 makes the power exactly 1; Ps 30 lifts g to 1.26.
  Hydropedotransfer(ops, ClimateInputs{0.0, 60.0, 30.0, 45.0, 0.0}, 1.0, 0.0, g, ETa);
  EXPECT_GT(g, 1.0);
  EXPECT_EQ(ETa, 60.0);
  // g = 0.70125f + 0.05358f; the shortfall (1 - g) * 100 exceeds ETp 10.
  Hydropedotransfer(ops, ClimateInputs{0.0, 10.0, 0.0, 100.0, 0.0}, 1.0, 0.0, g, ETa);
  EXPECT_EQ(ETa, -14.51699823141098);
}

}  // namespace
}  // namespace recharge
