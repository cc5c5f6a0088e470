// Exact sums and products of doubles, as the unevaluated sum hi + lo of two
// doubles, with plain IEEE operations in round-to-nearest: no fused
// multiply-add, so that every processor gives the same bits.
//
//   TwoSum(a, b)      hi = a + b rounded, lo the rounding error: hi + lo = a + b
//   FastTwoSum(a, b)  the same when |a| >= |b| (or a = 0), in three operations
//   TwoProduct(a, b)  hi = a * b rounded, lo its error: hi + lo = a * b exactly,
//                     for |a|, |b| < 2^995 and a product that does not
//                     underflow (Dekker's product, Veltkamp's split)
//
//   TwoProduct(0.1, 0.1)   // {0.010000000000000002, -8.326672684688674e-19}
#pragma once

// Inlined wherever called, however large the caller: a loop over the fast
// phase of exp and pow is vectorized only when every call in it is inlined.
#if defined(__GNUC__) || defined(__clang__)
#define RECHARGE_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define RECHARGE_ALWAYS_INLINE inline
#endif

namespace recharge {

struct DoubleDouble {
  double hi;
  double lo;
};

RECHARGE_ALWAYS_INLINE DoubleDouble FastTwoSum(double a, double b) {
  const double hi = a + b;
  return {hi, b - (hi - a)};
}

RECHARGE_ALWAYS_INLINE DoubleDouble TwoSum(double a, double b) {
  const double hi = a + b;
  const double b_part = hi - a;
  const double a_part = hi - b_part;
  return {hi, (a - a_part) + (b - b_part)};
}

// a = hi + lo, each of at most 26 significant bits.
RECHARGE_ALWAYS_INLINE DoubleDouble Split(double a) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double c = kSplitter * a;
  const double hi = c - (c - a);
  return {hi, a - hi};
}

RECHARGE_ALWAYS_INLINE DoubleDouble TwoProduct(double a, double b) {
  const double product = a * b;
  const DoubleDouble as = Split(a);
  const DoubleDouble bs = Split(b);
  const double error = ((as.hi * bs.hi - product) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
  return {product, error};
}

// a * a, as TwoProduct(a, a) with one split.
RECHARGE_ALWAYS_INLINE DoubleDouble TwoSquare(double a) {
  const double product = a * a;
  const DoubleDouble s = Split(a);
  const double cross = s.hi * s.lo;
  return {product, ((s.hi * s.hi - product) + (cross + cross)) + s.lo * s.lo};
}

}  // namespace recharge
