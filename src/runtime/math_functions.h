// The mathematical functions of the model, each checked so that a failure is
// a fault (fault_recovery.h) named by its function ("pow", "exp", "sqrt"):
//   Pow(x, y) with x < 0 and y not an integer, Sqrt(x) with x < 0: DOMAIN (M6201)
//   Pow(0, y) with y < 0: SING (M6202)
//   a result of Pow or Exp beyond the double range: OVERFLOW (M6203)
// A result that underflows is returned as it is, silently. A failure is
// reported once, as the function's, never also as a floating-point trap.
//
// Arguments for which no failure is possible go straight to the C library
// with the traps armed (only underflow and inexact, both masked, can arise),
// at the cost of a few comparisons inline. The solver's integrand, a ratio in
// [0, 1] raised to a coefficient in [0.5, 10], always takes that road; it is
// nearly all of the model's time.
#pragma once

#include <cmath>
#include <limits>

namespace recharge {

// The checked road, for every other argument.
double CheckedPow(double base, double exponent);
double CheckedExp(double x);
double CheckedSqrt(double x);

inline double Pow(double base, double exponent) {
  // A base in [0, 1] with a positive finite exponent gives a power in [0, 1].
  if (base >= 0.0 && base <= 1.0 && exponent > 0.0 &&
      exponent <= std::numeric_limits<double>::max()) {
    return std::pow(base, exponent);
  }
  return CheckedPow(base, exponent);
}

inline double Exp(double x) {
  if (std::fabs(x) < 700.0) return std::exp(x);  // e^700 < 2^1010
  return CheckedExp(x);
}

inline double Sqrt(double x) {
  if (x >= 0.0) return std::sqrt(x);
  return CheckedSqrt(x);
}

}  // namespace recharge
