#include "runtime/exact_powers.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/bit_cast.h"
#include "runtime/fixed_point.h"

namespace recharge::exp_log {

namespace {

struct Dyadic {
  std::int64_t odd;  // odd, or 0 for zero
  std::int64_t exponent;
};

// A finite double as odd * 2^exponent.
Dyadic Decompose(double value) {
  const std::uint64_t bits = BitCast<std::uint64_t>(value);
  const std::int64_t biased = static_cast<std::int64_t>((bits >> 52) & 0x7ff);
  std::uint64_t mantissa = bits & 0x000fffffffffffff;
  if (biased != 0) mantissa |= std::uint64_t{1} << 52;
  if (mantissa == 0) return {0, 0};
  const int zeros = std::countr_zero(mantissa);
  const std::int64_t odd = static_cast<std::int64_t>(mantissa >> zeros);
  return {(bits >> 63) != 0 ? -odd : odd, (biased == 0 ? 1 : biased) - 1075 + zeros};
}

// The integer square root of a perfect square below 2^53, or 0.
std::uint64_t ExactRoot(std::uint64_t square) {
  std::uint64_t root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(square)));
  while (root * root > square) --root;
  while ((root + 1) * (root + 1) <= square) ++root;
  return root * root == square ? root : 0;
}

}  // namespace

bool ExactPow(double x, double y, double& result) {
  const Dyadic base = Decompose(x);
  const Dyadic power = Decompose(y);
  constexpr std::int64_t kLimit = std::int64_t{1} << 54;

  if (base.odd == 1) {
    // 2^(i y): i y an integer when 2^-j divides i (|i| <= 1074 < 2^11).
    const std::int64_t i = base.exponent;
    if (power.exponent < 0 &&
        (power.exponent < -11 || i % (std::int64_t{1} << -power.exponent) != 0)) {
      return false;
    }
    // |y| >= 2^12 with i != 0 lies beyond every double's exponent.
    if (std::fabs(y) >= 0x1p12) {
      result = (y > 0) == (i > 0) ? std::numeric_limits<double>::infinity() : 0.0;
      return true;
    }
    const std::int64_t n = static_cast<std::int64_t>(static_cast<double>(i) * y);  // exact
    result = RoundBits(1, false, n);
    return true;
  }

  if (y < 0) return false;
  const std::int64_t k = power.exponent < 0 ? -power.exponent : 0;
  if (k > 5 || power.exponent > 5) return false;  // 2^6 > 34
  const std::int64_t n = power.exponent > 0 ? power.odd << power.exponent : power.odd;
  if (n > 34) return false;
  if (base.exponent % (std::int64_t{1} << k) != 0) return false;
  std::uint64_t root = static_cast<std::uint64_t>(base.odd);
  for (std::int64_t step = 0; step < k; ++step) {
    root = ExactRoot(root);
    if (root == 0) return false;
  }
  std::uint64_t value = 1;
  for (std::int64_t step = 0; step < n; ++step) {
    if (value > static_cast<std::uint64_t>(kLimit) / root) return false;
    value *= root;
  }
  result = RoundBits(value, false, base.exponent / (std::int64_t{1} << k) * n);
  return true;
}

}  // namespace recharge::exp_log
