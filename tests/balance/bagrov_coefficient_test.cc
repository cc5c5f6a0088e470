#include "balance/bagrov_coefficient.h"

#include <gtest/gtest.h>

namespace recharge {
namespace {

// The checked arithmetic of the steps under test (every value here is safe).
Arithmetic ops;

// Sand Ss, zr 60 cm, zgw 200 cm, Cs 0.3. The inputs and the exact results
// are recomputed by tests/reference/model_reference.py.
TEST(BagrovCoefficientTest, SandWorkedExample) {
  const double qmax = 0.008553961197027261;
  const double Wmax = 7.367344032924529;
  const double FC = 0.1434827632742888;
  const double h_an = 2.9047897020417253;

  double nB = EstimateBagrovCoefficient(ops, qmax, Wmax, 0.3);
  EXPECT_GE(nB, 3.7115);  // printed as 3.712
  EXPECT_LT(nB, 3.7125);
  EXPECT_EQ(nB, 3.7118658444938797);

  CorrectForAnaerobiosis(ops, qmax, h_an, FC, nB);
  EXPECT_EQ(nB, 1.999785543664316);  // printed as 2.000
}

// With nB 0 and FC 0 the result is minus (qmax^0.5354 * (h_an + 0.27405)) * 0.05794,
// products in this order (the other order gives -0.4107226988502991).
TEST(BagrovCoefficientTest, AnaerobiosisCorrectionProductOrder) {
  double nB = 0.0;
  CorrectForAnaerobiosis(ops, 0.5, 10.0, 0.0, nB);
  EXPECT_EQ(nB, -0.41072269885029916);
}

TEST(BagrovCoefficientTest, LimitsUpperFirst) {
  struct Case {
    double nB, limited;
  };
  const Case cases[] = {
      {12.0, 10.0}, {10.0, 10.0}, {9.999, 9.999}, {0.3, 0.5}, {0.5, 0.5}, {-2.0, 0.5},
  };
  for (const Case& c : cases) {
    double nB = c.nB;
    LimitBagrovCoefficient(ops, nB);
    EXPECT_EQ(nB, c.limited) << "nB " << c.nB;
  }
}

}  // namespace
}  // namespace recharge
