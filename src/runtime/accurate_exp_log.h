// The accurate phase of the correctly rounded exp and pow, for the rare
// argument whose fast phase lies too near a rounding boundary: exp(t) in
// fixed-point arithmetic of 192 bits after the point, then 384, 768 and
// 1184, until the interval of the error bound rounds to one double.
//
//   log m = 2 atanh((m - 1)/(m + 1)) by its series, m in [0.707, 1.414]
//   exp t = 2^K exp(s)  with  exp(s) = exp(s/256)^256, exp(s/256) by its series
//
// Every step truncates at the last place; a bound of 2^-(32 f) on the
// relative error at f limbs after the point (computed with three more) holds
// the analysis's worst case many times over. A value that is a midpoint of
// two doubles is never decided: the exact powers (exact_powers.h) take those
// first; exp(t) is a midpoint for no t.
#pragma once

namespace recharge::exp_log {

// x^y for a positive finite x (subnormal too), a finite y, 0 < |y| < 2^64,
// x^y no midpoint of two doubles.
double AccuratePow(double x, double y);

// e^x for a finite x with |x| < 746.
double AccurateExp(double x);

}  // namespace recharge::exp_log
