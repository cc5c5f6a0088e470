// The examples of the headers of the correctly rounded pow and exp, the
// rounding of exact values at the ends of the doubles, and the batch's bits
// against the one-by-one function's. Correct rounding itself is checked
// against MPFR by correct_rounding_check.cc.
#include "runtime/correct_pow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "runtime/correct_exp.h"
#include "runtime/double_double.h"
#include "runtime/exact_powers.h"
#include "runtime/fixed_point.h"
#include "runtime/pow_batch.h"

namespace recharge {
namespace {

TEST(CorrectPow, HeaderExamples) {
  EXPECT_EQ(CorrectPow(2.0, 0.5), 1.4142135623730951);
  EXPECT_EQ(CorrectPow(-2.0, 3.0), -8.0);
  EXPECT_EQ(CorrectPow(2.0, -1075.0), 0.0);
  EXPECT_EQ(CorrectExp(1.0), 2.718281828459045);
  EXPECT_EQ(CorrectExp(-745.0), 0x1p-1074);

  const DoubleDouble p = TwoProduct(0.1, 0.1);
  EXPECT_EQ(p.hi, 0.010000000000000002);
  EXPECT_EQ(p.lo, -8.326672684688674e-19);

  exp_log::Fixed a(8);
  a.SetDouble(0.75);
  exp_log::Fixed b = a * a;
  EXPECT_EQ(b.Round(0), 0.5625);
  b.MulSmall(3);
  EXPECT_EQ(b.Round(0), 1.6875);

  double r = 0.0;
  EXPECT_TRUE(exp_log::ExactPow(9.0, 1.5, r));
  EXPECT_EQ(r, 27.0);
  EXPECT_TRUE(exp_log::ExactPow(1 - 0x1p-27, 2.0, r));
  EXPECT_EQ(r, 1 - 0x1p-26);
  EXPECT_FALSE(exp_log::ExactPow(3.0, 0.5, r));

  const double x[3] = {0.25, 0.5, 1.0};
  double out[3];
  PowBatch(x, 2.0, out, 3);
  EXPECT_EQ(out[0], 0.0625);
  EXPECT_EQ(out[1], 0.25);
  EXPECT_EQ(out[2], 1.0);
}

TEST(CorrectPow, MidpointsAndTheEndsOfTheDoubles) {
  // (1 - 2^-27)^2 = 1 - 2^-26 + 2^-54, midway between 1 - 2^-26 (even) and
  // the next double, whose square root rounds to 1 - 2^-27 again;
  // (1 + 2^-27)^2 = 1 + 2^-26 + 2^-54 lies a quarter of the last place above
  // 1 + 2^-26.
  EXPECT_EQ(CorrectPow(1 - 0x1p-27, 2.0), 1 - 0x1p-26);
  EXPECT_EQ(CorrectPow(1 - 0x1p-26 + 0x1p-53, 0.5), 1 - 0x1p-27);
  EXPECT_EQ(CorrectPow(1 + 0x1p-27, 2.0), 1 + 0x1p-26);
  // 3^2 2^-1080 = 2^-1074 * 9/64: below half the smallest subnormal.
  EXPECT_EQ(CorrectPow(3 * 0x1p-540, 2.0), 0.0);
  EXPECT_EQ(CorrectPow(3 * 0x1p-537, 2.0), 9 * 0x1p-1074);
  // 2^-1075 * 3: a midpoint between 2^-1074 and 2^-1073, to even.
  EXPECT_EQ(exp_log::RoundBits(3, false, -1075), 0x1p-1073);
  EXPECT_EQ(exp_log::RoundBits(3, true, -1075), 0x1p-1073);
  EXPECT_EQ(exp_log::RoundBits(1, true, -1075), 0x1p-1074);
  EXPECT_EQ(exp_log::RoundBits(1, false, 1024), std::numeric_limits<double>::infinity());
  EXPECT_EQ(CorrectPow(-0.0, -3.0), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(CorrectPow(-1.0, std::numeric_limits<double>::infinity()), 1.0);
  EXPECT_EQ(CorrectPow(std::nan(""), 0.0), 1.0);
  EXPECT_TRUE(std::isnan(CorrectPow(-2.0, 0.5)));
  EXPECT_EQ(CorrectExp(709.79), std::numeric_limits<double>::infinity());
  EXPECT_EQ(CorrectExp(709.782712893384), 0x1.fffffffffff2ap1023);
}

// Every lane width computes the same operations: the batch (in this
// processor's widest lanes) gives the one-by-one function's bits, for ratios
// as the solver raises them and for bases it must pass on.
TEST(PowBatch, SameBitsAsOneByOne) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> x(2000);
  for (double& value : x) value = unit(random);
  x[0] = 0.0;
  x[1] = 0x1p-1074;
  x[2] = 1.0;
  x[3] = 0.9999;
  x[4] = 1e-300;
  for (const double y : {0.5, 1.0, 2.0, 3.7, 9.99, 10.0}) {
    std::vector<double> out(x.size());
    PowBatch(x.data(), y, out.data(), x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
      ASSERT_EQ(out[i], CorrectPow(x[i], y)) << x[i] << "^" << y;
    }
  }
}

}  // namespace
}  // namespace recharge
