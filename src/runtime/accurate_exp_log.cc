#include "runtime/accurate_exp_log.h"

#include <cstdint>

#include "runtime/bit_cast.h"
#include "runtime/exp_log_tables.h"
#include "runtime/fixed_point.h"

namespace recharge::exp_log {

namespace {

// Limbs after the point of each try; each is computed with three more.
constexpr int kTries[] = {6, 12, 24, Fixed::kMaxFraction - 3};
constexpr int kGuardLimbs = 3;

Fixed Ln2(int fraction, std::int64_t times) {
  Fixed ln2(fraction);
  ln2.SetFraction(kLn2Limbs);
  ln2.MulSmall(static_cast<std::uint32_t>(times < 0 ? -times : times));
  if (times < 0) ln2.Negate();
  return ln2;
}

// log x, x positive finite.
Fixed Log(double x, int fraction) {
  const std::uint64_t bits = BitCast<std::uint64_t>(x);
  std::int64_t exponent = static_cast<std::int64_t>(bits >> 52);
  std::uint64_t mantissa = bits & 0x000fffffffffffff;
  if (exponent == 0) {
    exponent = 1;
    while (mantissa < (std::uint64_t{1} << 52)) {
      mantissa <<= 1;
      --exponent;
    }
  } else {
    mantissa |= std::uint64_t{1} << 52;
  }
  exponent -= 1023;
  // x = 2^exponent m, m = mantissa / 2^52; above sqrt(2), x = 2^(exponent+1) m/2.
  std::uint64_t one = std::uint64_t{1} << 52;
  if (mantissa > 0x16a09e667f3bcd) {
    one <<= 1;
    ++exponent;
  }
  // u = (m - 1)/(m + 1), digit by digit, 8 bits at a time: the remainder
  // stays below the divisor (< 2^55), so that it and 8 more bits fit.
  const bool below_one = mantissa < one;
  const std::uint64_t numerator = below_one ? one - mantissa : mantissa - one;
  const std::uint64_t divisor = mantissa + one;
  std::uint64_t remainder = numerator;
  std::uint32_t limbs[Fixed::kMaxFraction];
  for (int i = 0; i < fraction; ++i) {
    std::uint32_t limb = 0;
    for (int digit = 0; digit < 4; ++digit) {
      remainder <<= 8;
      limb = (limb << 8) | static_cast<std::uint32_t>(remainder / divisor);
      remainder %= divisor;
    }
    limbs[i] = limb;
  }
  Fixed u(fraction);
  u.SetFraction(limbs);
  if (below_one) u.Negate();

  // atanh u = u + u^3/3 + u^5/5 + ..., |u| < 0.1716: 5 bits a term.
  const Fixed u2 = u * u;
  Fixed term = u;
  Fixed sum = u;
  for (std::uint32_t k = 3;; k += 2) {
    term = term * u2;
    Fixed quotient = term;
    quotient.DivSmall(k);
    if (quotient.IsZero()) break;
    sum += quotient;
  }
  sum.ShiftLeft(1);
  sum += Ln2(fraction, exponent);
  return sum;
}

struct Rounding {
  double low, high;  // the doubles nearest to the ends of the error bound
};

// The doubles nearest to the ends of the interval that holds e^t.
Rounding RoundedExp(const Fixed& t, int fraction) {
  // K = round(t / log 2), s = t - K log 2 in [-0.35, 0.35] (K from an estimate).
  const double estimate = t.Estimate() * 0x1.71547652b82fep0;
  const std::int64_t k = static_cast<std::int64_t>(estimate + (estimate < 0 ? -0.5 : 0.5));
  Fixed s = t;
  s -= Ln2(t.fraction(), k);

  constexpr int kHalvings = 8;
  s.ShiftRight(kHalvings);
  Fixed sum(t.fraction());
  sum.SetPowerOfTwo(0);
  Fixed term = sum;
  for (std::uint32_t n = 1;; ++n) {
    term = term * s;
    term.DivSmall(n);
    if (term.IsZero()) break;
    sum += term;
  }
  for (int i = 0; i < kHalvings; ++i) sum = sum * sum;

  // sum in [0.7, 1.42], its relative error below 2^-(32 fraction).
  Fixed bound(t.fraction());
  bound.SetPowerOfTwo(32 * fraction - 1);
  Fixed lower = sum;
  lower -= bound;
  Fixed upper = sum;
  upper += bound;
  return {lower.Round(k), upper.Round(k)};
}

}  // namespace

// Past the last try (a value within 2^-1184 of a midpoint and none: no
// such argument is known), its lower end.
double AccuratePow(double x, double y) {
  Rounding rounding{};
  for (const int fraction : kTries) {
    const int working = fraction + kGuardLimbs;
    Fixed exponent(working);
    exponent.SetDouble(y);
    rounding = RoundedExp(Log(x, working) * exponent, fraction);
    if (rounding.low == rounding.high) break;
  }
  return rounding.low;
}

double AccurateExp(double x) {
  Rounding rounding{};
  for (const int fraction : kTries) {
    Fixed t(fraction + kGuardLimbs);
    t.SetDouble(x);
    rounding = RoundedExp(t, fraction);
    if (rounding.low == rounding.high) break;
  }
  return rounding.low;
}

}  // namespace recharge::exp_log
