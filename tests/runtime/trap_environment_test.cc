#include "runtime/trap_environment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cfenv>
#include <csignal>

#include "math_report.h"
#include "runtime/fault_recovery.h"

namespace recharge {
namespace {

using ::testing::ExitedWithCode;
using ::testing::IsEmpty;
using ::testing::KilledBySignal;
using ::testing::StrEq;

// The traps are armed by the tests' main (tests/trapped_main.cc).
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

volatile int dividend = 7;
volatile int divisor = 0;
volatile int quotient = 0;

// Kept from the undefined-behaviour sanitizer, so that the processor divides.
__attribute__((no_sanitize("integer-divide-by-zero"))) void DivideIntegers() {
  quotient = dividend / divisor;
}

// No floating-point fault, inside a recovery point or not: killed by the
// signal as by kill -FPE, with no report.
TEST(TrapEnvironmentTest, AnIntegerDivisionByZeroTakesTheDefaultAction) {
  auto recovering = [] {
    auto body = [] { DivideIntegers(); };
    RecoverFaults(body);
  };
  EXPECT_EXIT(DivideIntegers(), KilledBySignal(SIGFPE), IsEmpty());
  EXPECT_EXIT(recovering(), KilledBySignal(SIGFPE), IsEmpty());
}

}  // namespace
}  // namespace recharge
