// The fast phase of the correctly rounded exp and pow: a logarithm and an
// exponential in double-double arithmetic, with a bound on their error, and
// the rounding test that accepts a result only when every value within the
// bound rounds to the same double. Branch-free, so that a loop over many
// arguments runs in the processor's vector lanes; the rare argument the test
// does not decide goes to the accurate phase (accurate_exp_log.h).
//
//   log x = e log 2 - log r + log(1 + z),  x = 2^e m, z = m r - 1 exact,
//           r and -log r from the table of the mantissa's top 8 bits,
//           |z| < 2^-8, log(1 + z) by its series to z^10
//   exp t = 2^K 2^(j/128) exp(s),  t = (128 K + j) log(2)/128 + s,
//           |s| <= log(2)/256, exp(s) by its series to s^7
//
// Errors (each bound a few times the worst case the analysis finds):
//   log: at most 2^-51 |z|^3 + 2^-90 + 2^-93 |log x| (absolute)
//   exp: at most 2^-77 relative, beyond the error of t itself
#pragma once

#include <cmath>
#include <cstdint>

#include "runtime/bit_cast.h"
#include "runtime/double_double.h"
#include "runtime/exp_log_tables.h"

namespace recharge::exp_log {

// The bound on the relative error of FastExp beyond that of t.
inline constexpr double kExpError = 0x1p-77;
// e^t rounds to inf beyond 709.7827..., to 0 below -745.1332...: beyond
// these, whatever the error of t.
inline constexpr double kOverflowLimit = 709.79;
inline constexpr double kUnderflowLimit = -745.14;

struct Logarithm {
  DoubleDouble value;
  double error;  // bound on |value - log x|
};

// log x for x = 2^extra_exponent * (the double of `bits`), a positive normal
// double.
RECHARGE_ALWAYS_INLINE Logarithm FastLog(std::uint64_t bits, double extra_exponent) {
  constexpr std::uint64_t kMantissa = 0x000fffffffffffff;
  constexpr std::uint64_t kOne = 0x3ff0000000000000;
  const LogEntry& entry = kLogTable[(bits >> (52 - kLogIndexBits)) & 0xff];
  // The biased exponent b as the double 2^52 + b, less 2^52 + 1023.
  const double biased = BitCast<double>((bits >> 52) | 0x4330000000000000);
  const double e = ((biased - 0x1.00000000003ffp52) + extra_exponent) + entry.exponent_shift;
  // m in [1, 2); m_hi its top 44 bits, so that m_hi r (r of 9 bits) is exact.
  const double m = BitCast<double>((bits & kMantissa) | kOne);
  const double m_hi = BitCast<double>(BitCast<std::uint64_t>(m) & ~std::uint64_t{0x1ff});
  const double z = (m_hi * entry.r - 1.0) + (m - m_hi) * entry.r;

  // log(1 + z) = z - z^2/2 + z^2 w, w = z/3 - z^2/4 + ... + z^8/10: z^2 exact.
  const double w =
      z * (0x1.5555555555555p-2 +
           z * (-0x1p-2 + z * (0x1.999999999999ap-3 +
                               z * (-0x1.5555555555555p-3 +
                                    z * (0x1.2492492492492p-3 +
                                         z * (-0x1p-3 + z * (0x1.c71c71c71c71cp-4 +
                                                             z * -0x1.999999999999ap-4)))))));
  const DoubleDouble z2 = TwoSquare(z);
  const DoubleDouble series = FastTwoSum(z, -0.5 * z2.hi);

  // e kLn2Hi + hi, both multiples of 2^-42 below 2^10: exact.
  const double a = e * kLn2Hi + entry.minus_log_hi;
  DoubleDouble sum = TwoSum(a, series.hi);
  sum.lo += (series.lo + (z2.hi * w - 0.5 * z2.lo)) + (e * kLn2Lo + entry.minus_log_lo);

  const double z_abs = std::fabs(z);
  return {sum, 0x1p-51 * (z_abs * z_abs * z_abs) + 0x1p-90 + 0x1p-93 * std::fabs(sum.hi)};
}

struct Exponential {
  DoubleDouble value;  // exp(t) / 2^K, in [0.99, 2)
  double k;            // 128 K + j
  double scale;        // 2^K, where NormalScale()

  // -1021 <= K <= 1023: value * 2^K is a normal double, and 2^K one too.
  bool NormalScale() const { return (k >= -1021 * 128.0) & (k < 1024 * 128.0); }
};

// exp(t) for t = t_hi + t_lo, within a relative 2^-77 where NormalScale():
// beyond, garbage.
RECHARGE_ALWAYS_INLINE Exponential FastExp(double t_hi, double t_lo) {
  constexpr double kShifter = 0x1.8p52;  // adding it rounds to an integer
  const double shifted = t_hi * kInverseStep + kShifter;
  // k = kf in the low bits (two's complement, modulo 2^64 for any t).
  const std::uint64_t k = BitCast<std::uint64_t>(shifted) - BitCast<std::uint64_t>(kShifter);
  const double kf = shifted - kShifter;
  // s = t - k log(2)/128: t_hi - kf kStepHi is exact (Sterbenz), as is kf kStepMid.
  DoubleDouble s = TwoSum(t_hi - kf * kStepHi, -(kf * kStepMid));
  s = TwoSum(s.hi, s.lo + (t_lo - kf * kStepLo));  // |s.lo| <= ulp(s.hi)/2 for the series

  // exp(s) = 1 + s + s^2/2 + s^2 w, w = s/6 + s^2/24 + ... + s^5/5040: s^2 exact.
  const double w =
      s.hi * (0x1.5555555555555p-3 +
              s.hi * (0x1.5555555555555p-5 +
                      s.hi * (0x1.1111111111111p-7 +
                              s.hi * (0x1.6c16c16c16c17p-10 + s.hi * 0x1.a01a01a01a01ap-13))));
  const DoubleDouble s2 = TwoSquare(s.hi);
  const DoubleDouble u = FastTwoSum(s.hi, 0.5 * s2.hi);
  DoubleDouble e = FastTwoSum(1.0, u.hi);
  e.lo += u.lo + (s.lo + ((0.5 * s2.lo + s.hi * s.lo) + s2.hi * w));

  const ExpEntry& entry = kExpTable[k & ((1 << kExpIndexBits) - 1)];
  DoubleDouble r = TwoProduct(entry.hi, e.hi);
  r.lo += entry.hi * e.lo + entry.lo * e.hi;
  // 2^K as bits: (K + 1023) << 52, K = floor(k / 128), by logical shifts.
  const std::uint64_t biased = k + (std::uint64_t{1023} << kExpIndexBits);
  return {r, kf, BitCast<double>((biased >> kExpIndexBits) << 52)};
}

// value if keep, else +0: a select without a branch, as a mask of bits.
RECHARGE_ALWAYS_INLINE double KeepIf(bool keep, double value) {
  return BitCast<double>(BitCast<std::uint64_t>(value) & -std::uint64_t{keep});
}

// The double nearest to value * (1 +- relative_error) if both ends round
// alike, or 0 (never a result of this test: value.hi >= 0.99).
RECHARGE_ALWAYS_INLINE double RoundedOrZero(const DoubleDouble& value, double relative_error) {
  // 2^-100: the rounding of lo -+ error itself.
  const double error = value.hi * (relative_error + 0x1p-100);
  const double lower = value.hi + (value.lo - error);
  const double upper = value.hi + (value.lo + error);
  return KeepIf(lower == upper, lower);
}

}  // namespace recharge::exp_log
