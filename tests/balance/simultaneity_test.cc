#include "balance/simultaneity.h"

#include <gtest/gtest.h>

namespace recharge {
namespace {

// The checked arithmetic of the steps under test (every value here is safe).
Arithmetic ops;

double CsOf(const double (&rain)[6], const double (&etp)[6]) {
  SimultaneityAccumulator accumulator;
  for (int i = 0; i < 6; ++i) accumulator.AddMonth(ops, rain[i], etp[i]);
  return accumulator.Cs(ops);
}

TEST(SimultaneityTest, DeficitShareOfGrowingSeason) {
  // Deficits 0 2 3 1 1 0 over a sum of 42.
  EXPECT_EQ(CsOf({5, 6, 7, 8, 6, 5}, {4, 8, 10, 9, 7, 4}), 7.0 / 42.0);
  // Rain equal to ETp leaves no deficit.
  EXPECT_EQ(CsOf({4, 8, 10, 9, 7, 4}, {4, 8, 10, 9, 7, 4}), 0.0);
  EXPECT_EQ(CsOf({0, 0, 0, 0, 0, 0}, {4, 8, 10, 9, 7, 4}), 1.0);
}

}  // namespace
}  // namespace recharge
