#include "runtime/checked_arithmetic.h"

namespace recharge {

void Arithmetic::Classify(double result, double a, double b, bool division) {
  if (std::isnan(result)) {
    if (!std::isnan(a) && !std::isnan(b)) Raise(RuntimeError::kFloatingInvalid);
  } else if (std::isfinite(a) && std::isfinite(b)) {
    Raise(division && b == 0.0 ? RuntimeError::kFloatingDivideByZero
                               : RuntimeError::kFloatingOverflow);
  }
}

// pow's failures as a C library's flags would tell them: a NaN of numbers
// (a negative base to a power that is no integer), an infinity of finite
// numbers from a zero base (a negative power of 0) or from an overflow.
double Arithmetic::CheckedPow(double base, double exponent) {
  const double result = CorrectPow(base, exponent);
  if (std::isnan(result)) {
    if (!std::isnan(base) && !std::isnan(exponent)) Raise(RuntimeError::kPowDomain);
  } else if (std::isinf(result) && std::isfinite(base) && std::isfinite(exponent)) {
    Raise(base == 0.0 ? RuntimeError::kPowSingularity : RuntimeError::kPowOverflow);
  }
  return result;
}

double Arithmetic::CheckedExp(double x) {
  const double result = CorrectExp(x);
  if (std::isinf(result) && std::isfinite(x)) Raise(RuntimeError::kExpOverflow);
  return result;
}

double Arithmetic::CheckedSqrt(double x) {
  const double result = std::sqrt(x);
  if (std::isnan(result) && !std::isnan(x)) Raise(RuntimeError::kSqrtDomain);
  return result;
}

}  // namespace recharge
