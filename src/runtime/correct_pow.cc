#include "runtime/correct_pow.h"

#include <cmath>
#include <limits>

#include "runtime/accurate_exp_log.h"
#include "runtime/exact_powers.h"

namespace recharge {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// x^y for a positive finite x other than 1 and a finite nonzero y.
double PositivePow(double x, double y) {
  // A subnormal x is 2^-64 times a normal one.
  const bool subnormal = x < 0x1p-1022;
  const double normal = subnormal ? x * 0x1p64 : x;
  const exp_log::Logarithm log =
      exp_log::FastLog(BitCast<std::uint64_t>(normal), subnormal ? -64.0 : 0.0);
  DoubleDouble t = TwoProduct(y, log.value.hi);
  t.lo += y * log.value.lo;
  // |log x| >= 2^-53 for x != 1: |y| >= 2^64 puts |t| beyond both limits.
  if (t.hi > exp_log::kOverflowLimit) return kInfinity;
  if (t.hi < exp_log::kUnderflowLimit) return 0.0;
  const exp_log::Exponential e = exp_log::FastExp(t.hi, t.lo);
  if (e.NormalScale()) {
    const double rounded = exp_log::RoundedOrZero(e.value, exp_log::PowError(y, log, t));
    if (rounded != 0.0) return rounded * e.scale;
  }
  double exact;
  if (exp_log::ExactPow(x, y, exact)) return exact;
  return exp_log::AccuratePow(x, y);
}

bool IsInteger(double y) {
  return std::fabs(y) >= 0x1p52 || y == static_cast<double>(static_cast<std::int64_t>(y));
}

bool IsOddInteger(double y) {
  return std::fabs(y) < 0x1p53 && IsInteger(y) && (static_cast<std::int64_t>(y) & 1) != 0;
}

}  // namespace

double CorrectPowSlow(double x, double y) {
  if (y == 0.0 || x == 1.0) return 1.0;
  if (std::isnan(x) || std::isnan(y)) return x + y;
  const double x_abs = std::fabs(x);
  if (std::isinf(y)) {
    if (x_abs == 1.0) return 1.0;
    return (x_abs < 1.0) == (y < 0.0) ? kInfinity : 0.0;
  }
  // A negative base: its power's sign by the parity of an integer y, NaN for
  // any other finite y (but for the zero and the infinity, signed alike).
  const bool negate = std::signbit(x) && IsOddInteger(y);
  if (std::signbit(x) && x_abs != 0.0 && !std::isinf(x) && !IsInteger(y)) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  double result;
  if (x_abs == 0.0) {
    result = y < 0.0 ? kInfinity : 0.0;
  } else if (std::isinf(x_abs)) {
    result = y < 0.0 ? 0.0 : kInfinity;
  } else if (x_abs == 1.0) {
    result = 1.0;
  } else {
    result = PositivePow(x_abs, y);
  }
  return negate ? -result : result;
}

}  // namespace recharge
