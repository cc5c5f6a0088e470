// x^y correctly rounded: the double nearest to the exact power, ties to
// even, on every processor and compiler alike. Special values as the C
// library's pow (C99 Annex F): x^0 = 1 and 1^y = 1 even for a NaN; a
// negative x to an integer power is signed by the power's parity, to a
// finite power that is no integer NaN; 0 to a negative power is inf, to a
// positive power 0 (signed for odd integers); powers of inf and to +-inf by
// the magnitudes; a result beyond the doubles is inf, one below them 0.
//
// A fast phase in double-double arithmetic (exp_log_fast.h) decides all but
// about one in ten million of the solver's powers (more near the ends of the
// doubles and for exponents of thousands); the exact powers (exact_powers.h)
// and the accurate phase (accurate_exp_log.h) the rest.
//
//   CorrectPow(2.0, 0.5)     // 1.4142135623730951
//   CorrectPow(-2.0, 3.0)    // -8
//   CorrectPow(2.0, -1075)   // 0: 2^-1075 lies midway between 0 and 2^-1074
#pragma once

#include <cmath>
#include <cstdint>

#include "runtime/bit_cast.h"
#include "runtime/exp_log_fast.h"

namespace recharge {

namespace exp_log {

// The relative error of the fast phase's x^y, from the error of log x.
RECHARGE_ALWAYS_INLINE double PowError(double y, const Logarithm& log, const DoubleDouble& t) {
  return std::fabs(y) * log.error + 0x1p-102 * std::fabs(t.hi) + kExpError;
}

// x^y of the fast phase for a finite nonzero y, or 0 where it does not
// decide: x no positive normal double, x^y no normal double, or x^y too
// near a rounding boundary. Branch-free.
RECHARGE_ALWAYS_INLINE double FastPow(double x, double y) {
  const Logarithm log = FastLog(BitCast<std::uint64_t>(x), 0.0);
  DoubleDouble t = TwoProduct(y, log.value.hi);
  t.lo += y * log.value.lo;
  const Exponential e = FastExp(t.hi, t.lo);
  const double result = RoundedOrZero(e.value, PowError(y, log, t)) * e.scale;
  const bool normal = (x >= 0x1p-1022) & (x <= 0x1.fffffffffffffp1023) & e.NormalScale();
  return KeepIf(normal, result);
}

}  // namespace exp_log

// Every argument the fast phase does not decide: special values, subnormal
// bases, results near or beyond the ends of the doubles, exact powers and
// the accurate phase.
double CorrectPowSlow(double x, double y);

inline double CorrectPow(double x, double y) {
  // x positive and normal, y finite and nonzero: compared as bit patterns.
  constexpr std::uint64_t kSmallest = 0x0010000000000000;
  constexpr std::uint64_t kInfinity = 0x7ff0000000000000;
  const std::uint64_t x_bits = BitCast<std::uint64_t>(x);
  const std::uint64_t y_bits = BitCast<std::uint64_t>(y);
  if (x_bits - kSmallest < kInfinity - kSmallest && (y_bits << 1) - 1 < (kInfinity << 1) - 1) {
    const double result = exp_log::FastPow(x, y);
    if (result != 0.0) return result;
  }
  return CorrectPowSlow(x, y);
}

}  // namespace recharge
