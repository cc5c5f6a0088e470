#include "runtime/math_functions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cfenv>
#include <limits>

#include "math_report.h"

namespace recharge {
namespace {

using ::testing::ExitedWithCode;
using ::testing::StrEq;

// The traps are on (see trap_environment_test.cc): each failure must come out
// as the wrapper's own report, never as a floating-point trap report.
TEST(MathFunctionsTest, FailuresAreReportedByName) {
  EXPECT_EXIT(Pow(-8.0, 1.0 / 3.0), ExitedWithCode(1),
              StrEq(MathReport("6201", "pow: DOMAIN error")));
  EXPECT_EXIT(Pow(0.0, -1.0), ExitedWithCode(1), StrEq(MathReport("6202", "pow: SING error")));
  EXPECT_EXIT(Pow(10.0, 400.0), ExitedWithCode(1),
              StrEq(MathReport("6203", "pow: OVERFLOW error")));
  EXPECT_EXIT(Exp(1000.0), ExitedWithCode(1), StrEq(MathReport("6203", "exp: OVERFLOW error")));
  EXPECT_EXIT(Sqrt(-1.0), ExitedWithCode(1), StrEq(MathReport("6201", "sqrt: DOMAIN error")));
}

TEST(MathFunctionsTest, UnderflowIsReturnedSilentlyAndTheTrapsStay) {
  EXPECT_EQ(Exp(-1000.0), 0.0);
  EXPECT_EQ(Pow(2.0, -1074.0), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(Pow(-2.0, 3.0), -8.0);
  EXPECT_EQ(Sqrt(2.25), 1.5);
  EXPECT_EQ(fegetexcept(), FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
}

}  // namespace
}  // namespace recharge
