#include "runtime/correct_exp.h"

#include <cmath>
#include <limits>

#include "runtime/accurate_exp_log.h"
#include "runtime/exp_log_fast.h"

namespace recharge {

double CorrectExp(double x) {
  const exp_log::Exponential e = exp_log::FastExp(x, 0.0);
  if (e.NormalScale()) {
    const double rounded = exp_log::RoundedOrZero(e.value, exp_log::kExpError);
    if (rounded != 0.0) return rounded * e.scale;
    return exp_log::AccurateExp(x);
  }
  if (std::isnan(x)) return x + x;
  if (x > exp_log::kOverflowLimit) return std::numeric_limits<double>::infinity();
  if (x < exp_log::kUnderflowLimit) return 0.0;
  return exp_log::AccurateExp(x);
}

}  // namespace recharge
