// How a value in one unit becomes one in another: times 10^shift, done on
// the decimal text of a table's cell or by the exact power of ten, or times
// `factor` (field_units.h finds the scale of a unit).
//
//   mm to cm: shift -1     m to cm: shift 2     in to cm: factor 2.54
#pragma once

#include <cmath>
#include <cstdlib>
#include <limits>

namespace recharge {

struct UnitScale {
  int shift = 0;
  double factor = 1.0;
  bool power_of_ten = true;
  // A value of a larger magnitude would overflow in the other unit (with a
  // margin of a factor 2).
  double largest = std::numeric_limits<double>::infinity();

  bool IsIdentity() const { return power_of_ten && shift == 0; }
};

// 10^power, exactly for power from 0 to 22.
constexpr double PowerOfTen(int power) {
  double value = 1.0;
  for (int i = 0; i < power; ++i) value *= 10.0;
  return value;
}

// A value that arrives as a double (an array, a number column) in the unit
// of `scale`, in the other unit: divided or multiplied once by the exact
// power of ten, or multiplied by the factor; infinite where it overflows, or
// beyond `largest`, where a table's cell is refused.
//   605 mm -> 60.5 cm    1.1 m -> 110.00000000000001 cm (1.1 is not 11/10)
inline double ScaledValue(double value, const UnitScale& scale) {
  if (!scale.power_of_ten) {
    return std::fabs(value) > scale.largest ? std::copysign(HUGE_VAL, value) : value * scale.factor;
  }
  const double power = PowerOfTen(std::abs(scale.shift));
  return scale.shift >= 0 ? value * power : value / power;
}

}  // namespace recharge
