// Decimal digit strings of doubles, as the edit descriptors and the
// list-directed layout print them.
//
// A finite double is taken as 0.d1d2...d16 x 10^exponent: its 16 most
// significant decimal digits, correctly rounded (ties to even, as the
// shortest-path conversion of the C++ library does). Zero has sixteen '0'
// digits and exponent 0. Every printed number is cut from this string.
//
//   2.675    -> "2675000000000000", exponent 1
//   0.008554 -> "8554000000000000", exponent -2
#pragma once

namespace recharge {

struct DecimalDigits {
  static constexpr int kCount = 16;
  char digits[kCount];  // '0'..'9', no terminator
  int exponent;
  bool negative;

  bool IsZero() const;
  // The digit at position `index` (0-based); '0' outside the string.
  char DigitAt(int index) const;
};

DecimalDigits ToDecimalDigits(double value);

// Rounds half-up on the digit string to `keep` significant digits: if the
// first dropped digit is 5 or more, the kept digits go up by one in the last
// place, and a carry out of the first digit gives "1" and exponent + 1.
// keep >= 16 changes nothing; keep < 0 leaves zero.
//   "2675...", exponent 1, keep 3 -> "2680...", exponent 1
//   "9960...", exponent 0, keep 2 -> "1000...", exponent 1
//   "6000...", exponent -3, keep 0 -> "1000...", exponent -2
void RoundHalfUp(DecimalDigits& d, int keep);

}  // namespace recharge
