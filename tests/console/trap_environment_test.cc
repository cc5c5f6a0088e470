#include "console/trap_environment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cfenv>

#include "test_support.h"

namespace recharge {
namespace {

using ::testing::ExitedWithCode;
using ::testing::StrEq;

// Every test of this binary runs as the program does: invalid operation,
// division by zero and overflow trap. A conversion or a math wrapper that let
// such an exception through would end its test with SIGFPE.
class TrapEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { SetUpTrapEnvironment(); }
};

[[maybe_unused]] ::testing::Environment* const kTraps =
    ::testing::AddGlobalTestEnvironment(new TrapEnvironment);

TEST(TrapEnvironmentTest, TrappedArithmeticEndsTheRunWithItsReport) {
  volatile double zero = 0.0;
  volatile double one = 1.0;
  volatile double big = 1e308;
  [[maybe_unused]] volatile double result = 0.0;
  EXPECT_EXIT(result = one / zero, ExitedWithCode(1),
              StrEq(MathReport("6103", "floating-point error: divide by zero")));
  EXPECT_EXIT(result = zero / zero, ExitedWithCode(1),
              StrEq(MathReport("6101", "floating-point error: invalid")));
  EXPECT_EXIT(result = big * 10.0, ExitedWithCode(1),
              StrEq(MathReport("6104", "floating-point error: overflow")));
}

TEST(TrapEnvironmentTest, UnderflowAndInexactPassSilently) {
  volatile double tiny = 1e-308;
  volatile double one = 1.0;
  EXPECT_EQ(tiny * 1e-100, 0.0);
  EXPECT_GT(tiny / 1e10, 0.0);  // a denormal
  EXPECT_NE(one / 3.0, 0.0);
}

}  // namespace
}  // namespace recharge
