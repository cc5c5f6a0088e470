// Conversion of list-directed input values.
//
// Integers (32-bit): an optional sign and decimal digits, or "b#digits" in
// base b (2 to 36, letters of either case above 9), "#digits" meaning base 16.
// A token without digits ("-", "#", "16#") is 0.
//   "-2147483648" -> INT32_MIN   "16#ff" -> 255   "2147483648" -> overflow
//   "1.0" -> invalid character   "37#1", "2#1#0" -> bad radix
//
// Reals (64-bit): an optional sign, digits with an optional point, an optional
// exponent after E, e, D or d. Correctly rounded; a value that underflows is
// kept as its nearest double (zero or a denormal).
//   "1d3" -> 1000.0   ".5" -> 0.5   "1.5x" -> characters after the number
//   "x" -> invalid real   "1e400" -> overflow   "1e-400" -> 0.0
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/runtime_error.h"

namespace recharge {

// Tokens come from one input line, so they are shorter than the input buffer.
RuntimeError ConvertInteger(std::string_view token, std::int32_t& value);
RuntimeError ConvertReal(std::string_view token, double& value);

}  // namespace recharge
