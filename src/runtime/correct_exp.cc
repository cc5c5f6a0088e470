#include "runtime/correct_exp.h"

#include <cmath>

#include "runtime/accurate_exp_log.h"
#include "runtime/bit_cast.h"
#include "runtime/exp_log_fast.h"

namespace recharge {

namespace {

constexpr double kExpError = 0x1p-77;
constexpr double kOverflow = 709.79;    // e^x rounds to inf beyond 709.7827...
constexpr double kUnderflow = -745.14;  // e^x rounds to 0 below -745.1332...

}  // namespace

double CorrectExp(double x) {
  const exp_log::Exponential e = exp_log::FastExp(x, 0.0);
  if (e.NormalScale()) {
    const double rounded = exp_log::RoundedOrZero(e.value, kExpError);
    if (rounded != 0.0) return rounded * e.scale;
    return exp_log::AccurateExp(x);
  }
  if (std::isnan(x)) return x + x;
  if (x > kOverflow) return BitCast<double>(std::uint64_t{0x7ff0000000000000});
  if (x < kUnderflow) return 0.0;
  return exp_log::AccurateExp(x);
}

}  // namespace recharge
