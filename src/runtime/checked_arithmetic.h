// The model's arithmetic, each operation checked by the values it gives, so
// that a fault is found where a processor would trap on it, on any processor
// and without the floating-point environment: no traps, no exception flags.
// The first fault of a computation is kept; the operations go on (on the
// infinities and NaNs the fault left), and the caller ends the computation
// at its next check of ok().
//
//   Add, Sub, Mul, Div  an infinite result of finite operands: overflow
//                       (M6104), or division by zero for a finite nonzero
//                       number over 0 (M6103); a NaN of operands that are no
//                       NaN: invalid (M6101), as 0/0 or inf - inf
//   Less ... GreaterEqual  an ordered comparison with a NaN: invalid, as the
//                       processor's signalling comparison; the result as ever
//   Pow(x, y) x < 0 with y not an integer, Sqrt(x) x < 0: DOMAIN (M6201)
//   Pow(0, y) y < 0: SING (M6202); a result of Pow or Exp beyond the double
//   range of finite arguments: OVERFLOW (M6203), each the function's own
//   report, never also a floating-point one
// An underflow is no fault, and every result is the very double of the plain
// operation (IEEE arithmetic in round-to-nearest).
//
//   Arithmetic ops;
//   const double r = ops.Div(1.0, 0.0);   // infinity
//   ops.Sub(r, r);                        // NaN, and invalid after the first
//   ops.fault()                           // kFloatingDivideByZero
//
// Pow and Exp are correctly rounded (correct_pow.h, correct_exp.h): their
// results are the same on every machine. Arguments for which no failure is
// possible go straight to them at the cost of a few comparisons inline.
#pragma once

#include <cmath>
#include <cstdint>

#include "runtime/bit_cast.h"
#include "runtime/correct_exp.h"
#include "runtime/correct_pow.h"
#include "runtime/runtime_error.h"

namespace recharge {

class Arithmetic {
 public:
  double Add(double a, double b) { return Checked(a + b, a, b); }
  double Sub(double a, double b) { return Checked(a - b, a, b); }
  double Mul(double a, double b) { return Checked(a * b, a, b); }
  double Div(double a, double b) {
    const double result = a / b;
    if (!std::isfinite(result)) [[unlikely]]
      Classify(result, a, b, true);
    return result;
  }

  bool Less(double a, double b) { return Ordered(a, b) && a < b; }
  bool LessEqual(double a, double b) { return Ordered(a, b) && a <= b; }
  bool Greater(double a, double b) { return Ordered(a, b) && a > b; }
  bool GreaterEqual(double a, double b) { return Ordered(a, b) && a >= b; }

  double Pow(double base, double exponent) {
    // A base in [+0, 1] with a positive finite exponent gives a power in
    // [0, 1]. Compared as bit patterns, two unsigned comparisons: the doubles
    // from +0 to 1 are the patterns 0 to kOne, the positive finite ones from
    // 1 to kInfinity - 1; negative numbers (sign bit set) and NaNs lie above.
    constexpr std::uint64_t kOne = 0x3ff0000000000000;
    constexpr std::uint64_t kInfinity = 0x7ff0000000000000;
    if (BitCast<std::uint64_t>(base) <= kOne &&
        BitCast<std::uint64_t>(exponent) - 1 < kInfinity - 1) {
      return CorrectPow(base, exponent);
    }
    return CheckedPow(base, exponent);
  }
  double Exp(double x) {
    if (std::fabs(x) < 700.0) return CorrectExp(x);  // e^700 < 2^1010
    return CheckedExp(x);
  }
  double Sqrt(double x) {
    if (x >= 0.0) return std::sqrt(x);
    return CheckedSqrt(x);
  }

  // Sets the fault unless one was found before.
  void Raise(RuntimeError error) {
    if (fault_ == RuntimeError::kNone) fault_ = error;
  }
  RuntimeError fault() const { return fault_; }
  bool ok() const { return fault_ == RuntimeError::kNone; }

 private:
  double Checked(double result, double a, double b) {
    if (!std::isfinite(result)) [[unlikely]]
      Classify(result, a, b, false);
    return result;
  }
  bool Ordered(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) [[unlikely]] {
      Raise(RuntimeError::kFloatingInvalid);
      return false;
    }
    return true;
  }
  void Classify(double result, double a, double b, bool division);
  double CheckedPow(double base, double exponent);
  double CheckedExp(double x);
  double CheckedSqrt(double x);

  RuntimeError fault_ = RuntimeError::kNone;
};

}  // namespace recharge
