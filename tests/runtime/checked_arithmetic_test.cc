#include "runtime/checked_arithmetic.h"

#include <gtest/gtest.h>

#include <limits>

namespace recharge {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Each operation's fault as a trapping processor reports it: the IEEE
// exception of the operation, or the math function's own report.
TEST(CheckedArithmetic, FaultsAsTheProcessorWouldTrapThem) {
  using E = RuntimeError;
  const struct {
    const char* what;
    double (*run)(Arithmetic&);
    RuntimeError fault;
  } cases[] = {
      {"1/0", [](Arithmetic& a) { return a.Div(1.0, 0.0); }, E::kFloatingDivideByZero},
      {"0/0", [](Arithmetic& a) { return a.Div(0.0, 0.0); }, E::kFloatingInvalid},
      {"max*2", [](Arithmetic& a) { return a.Mul(kMax, 2.0); }, E::kFloatingOverflow},
      {"max/0.5", [](Arithmetic& a) { return a.Div(kMax, 0.5); }, E::kFloatingOverflow},
      {"inf-inf", [](Arithmetic& a) { return a.Sub(kInf, kInf); }, E::kFloatingInvalid},
      {"inf+1", [](Arithmetic& a) { return a.Add(kInf, 1.0); }, E::kNone},
      {"nan*0", [](Arithmetic& a) { return a.Mul(kNaN, 0.0); }, E::kNone},
      {"nan<1", [](Arithmetic& a) { return double(a.Less(kNaN, 1.0)); }, E::kFloatingInvalid},
      {"tiny*tiny", [](Arithmetic& a) { return a.Mul(1e-200, 1e-200); }, E::kNone},
      {"pow(-8,1/3)", [](Arithmetic& a) { return a.Pow(-8.0, 1.0 / 3.0); }, E::kPowDomain},
      {"pow(0,-1)", [](Arithmetic& a) { return a.Pow(0.0, -1.0); }, E::kPowSingularity},
      {"pow(10,400)", [](Arithmetic& a) { return a.Pow(10.0, 400.0); }, E::kPowOverflow},
      {"pow(-2,3)", [](Arithmetic& a) { return a.Pow(-2.0, 3.0); }, E::kNone},
      {"pow(2,-1074)", [](Arithmetic& a) { return a.Pow(2.0, -1074.0); }, E::kNone},
      {"exp(1000)", [](Arithmetic& a) { return a.Exp(1000.0); }, E::kExpOverflow},
      {"exp(-1000)", [](Arithmetic& a) { return a.Exp(-1000.0); }, E::kNone},
      {"sqrt(-1)", [](Arithmetic& a) { return a.Sqrt(-1.0); }, E::kSqrtDomain},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Arithmetic ops;
    c.run(ops);
    EXPECT_EQ(ops.fault(), c.fault);
  }
}

TEST(CheckedArithmetic, TheFirstFaultIsKeptAndResultsArePlain) {
  Arithmetic ops;
  const double r = ops.Div(1.0, 0.0);
  EXPECT_TRUE(std::isnan(ops.Sub(r, r)));
  EXPECT_EQ(ops.fault(), RuntimeError::kFloatingDivideByZero);
  EXPECT_EQ(ops.Div(1.0, 3.0), 1.0 / 3.0);
  EXPECT_EQ(ops.Pow(0.5, 2.5), CorrectPow(0.5, 2.5));
}

}  // namespace
}  // namespace recharge
