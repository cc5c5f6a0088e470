// How a value in one unit becomes one in another: times 10^shift, done on
// the decimal text of a table's cell or by the exact power of ten, or times
// `factor` (field_units.h finds the scale of a unit).
//
//   mm to cm: shift -1     m to cm: shift 2     in to cm: factor 2.54
#pragma once

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

}  // namespace recharge
