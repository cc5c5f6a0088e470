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

#include <bit>
#include <cmath>
#include <cstdint>

namespace recharge {

// The checked road, for every other argument.
double CheckedPow(double base, double exponent);
double CheckedExp(double x);
double CheckedSqrt(double x);

inline double Pow(double base, double exponent) {
  // A base in [+0, 1] with a positive finite exponent gives a power in
  // [0, 1]. Compared as bit patterns, two unsigned comparisons: the doubles
  // from +0 to 1 are the patterns 0 to kOne, the positive finite ones from
  // 1 to kInfinity - 1; negative numbers (sign bit set) and NaNs lie above.
  constexpr std::uint64_t kOne = 0x3ff0000000000000;
  constexpr std::uint64_t kInfinity = 0x7ff0000000000000;
  if (std::bit_cast<std::uint64_t>(base) <= kOne &&
      std::bit_cast<std::uint64_t>(exponent) - 1 < kInfinity - 1) {
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
