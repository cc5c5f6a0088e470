// The powers x^y that are dyadic numbers of a few bits: the only ones that
// can be a midpoint of two doubles, where no precision of the accurate phase
// decides the rounding. For x = a 2^i and y = b 2^j (a, b odd integers):
//   a = 1:  x^y = 2^(i y), dyadic when i y is an integer;
//   a > 1:  x^y = (a^(1/2^k))^b 2^(i b / 2^k) with y = b / 2^k, b > 0, dyadic
//           when a is a 2^k-th power and 2^k divides i; a midpoint has at
//           most 54 significant bits, so (a^(1/2^k))^b < 2^54, b <= 34 and
//           k <= 5.
// Every other x^y is irrational or a fraction that no double nor midpoint is.
//
//   ExactPow(9.0, 1.5, r)                // true, r = 27
//   ExactPow(1 - 0x1p-27, 2.0, r)        // true, r = 1 - 2^-26: the power,
//                                        // 1 - 2^-26 + 2^-54, is a midpoint
//   ExactPow(3.0, 0.5, r)                // false
#pragma once

namespace recharge::exp_log {

// For a positive finite x (subnormal too) and a finite nonzero y: true and
// the double nearest to x^y (ties to even) when x^y is one of those powers.
bool ExactPow(double x, double y, double& result);

}  // namespace recharge::exp_log
