// The Fw.d and Ew.d edit descriptors. Both cut their digits from the 16-digit
// string of decimal_digits.h, round half-up on it, write no zero before the
// point, drop the minus sign of a value that rounds to zero, and fill a field
// that is too narrow with w asterisks.
//
//   F6.3:  0.35 -> "  .350"   -0.0004 -> "  .000"   -0.0006 -> " -.001"
//          1234.5 -> "******"   2.675 (F5.2) -> " 2.68"
//   E8.3:  1.0 -> ".100E+01"   0.008554 -> ".855E-02"   0 -> ".000E+00"
//          -1.0 -> "********"   1e150 -> ".100+151"
#pragma once

#include <string>

namespace recharge {

// Appends the w-column field to `out`.
void AppendFixed(double value, int w, int d, std::string& out);
void AppendExponent(double value, int w, int d, std::string& out);

}  // namespace recharge
