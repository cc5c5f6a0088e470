// e^x correctly rounded: the double nearest to the exact value, ties to even
// (there are none), on every processor and compiler alike. Special values as
// the C library's exp: e^NaN = NaN, e^inf = inf, e^-inf = 0; beyond
// 709.782712893384 the result overflows to inf, below -745.1332191019412 it
// underflows to 0, subnormal between.
//
// A fast phase in double-double arithmetic (exp_log_fast.h) decides all but
// about one argument in five million; the accurate phase
// (accurate_exp_log.h) the rest.
//
//   CorrectExp(1.0)     // 2.718281828459045
//   CorrectExp(-745.0)  // 5e-324
#pragma once

namespace recharge {

double CorrectExp(double x);

}  // namespace recharge
