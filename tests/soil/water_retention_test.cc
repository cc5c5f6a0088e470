#include "soil/water_retention.h"

#include <gtest/gtest.h>

namespace recharge {
namespace {

// The checked arithmetic of the steps under test (every value here is safe).
Arithmetic ops;

// Expected values recomputed by tests/reference/model_reference.py, which
// evaluates the retention formula on its own in the same order of operations
// and with the same C library pow, so they agree to the last bit.
TEST(WaterContentAtHeadTest, MatchesIndependentEvaluation) {
  struct Case {
    double theta_r, theta_s, alpha, n, h, theta;
  };
  const Case cases[] = {
      // Sand Ss at field capacity and wilting point.
      {0.0, 0.3879f, 0.26437f, 1.35154f, 63.0, 0.1434827632742888},
      {0.0, 0.3879f, 0.26437f, 1.35154f, 15800.0, 0.020693696058879982},
      // Class 14: a residual water content is added back.
      {0.1492f, 0.438f, 0.07013f, 1.24572f, 63.0, 0.3439811462036938},
  };
  for (const Case& c : cases) {
    double theta = -1.0;
    WaterContentAtHead(ops, c.theta_r, c.theta_s, c.alpha, c.n, c.h, theta);
    EXPECT_EQ(theta, c.theta) << "h = " << c.h << ", theta_r = " << c.theta_r;
  }
}

}  // namespace
}  // namespace recharge
