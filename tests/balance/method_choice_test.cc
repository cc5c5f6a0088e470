#include "balance/method_choice.h"

#include <gtest/gtest.h>

namespace recharge {
namespace {

// The checked arithmetic of the steps under test (every value here is safe).
Arithmetic ops;

TEST(MethodChoiceTest, HumidityThenCapillaryRise) {
  struct Case {
    double P, ETp, qmax;
    bool bagrov;
  };
  const Case cases[] = {
      {60.0, 55.0, 1.0, true},
      // 100 * 1.15f = 114.999997615814208984375 exactly: equal is humid enough.
      {100.0, 114.999997615814208984375, 1.0, true},
      // ... but 115 is not, so qmax decides, against 0.01f.
      {100.0, 115.0, 0.02, false},
      {100.0, 115.0, 0.00999999977648258209228515625, true},  // 0.01f itself
      {100.0, 115.0, 0.01, false},                            // the double is above 0.01f
  };
  for (const Case& c : cases) {
    ClimateInputs climate{c.P, c.ETp, 0.0, 0.0, 0.0};
    EXPECT_EQ(UsesBagrovMethod(ops, climate, c.qmax), c.bagrov)
        << "P " << c.P << ", ETp " << c.ETp << ", qmax " << c.qmax;
  }
}

}  // namespace
}  // namespace recharge
