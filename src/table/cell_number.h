// Numbers in table cells: reading a cell as a real or an integer, and writing
// a real for an output cell. Cells come trimmed from the CSV reader.
//
// A real is an optional sign, digits with at most one decimal mark and digits
// on at least one side of it, and an optional exponent: e or E, an optional
// sign and at least one digit. The mark is '.', and ',' too when decimal
// commas are allowed. Nothing else: no blanks, no thousands separators, no
// "nan", "inf" or hexadecimal forms. The value is the correctly rounded
// double; one that underflows is zero or a denormal.
//   "5." -> 5   ".5" -> 0.5   "-2.5E-1" -> -0.25   "0,5" -> 0.5 (decimal commas)
//   "1,5" (no decimal commas), "1e", "1 000", "1,2.5" -> not a number
//   "1e309" -> out of range   "1e-400" -> 0
//
// An integer is an optional sign and decimal digits, within 32 bits.
//   "-2147483648" -> INT32_MIN   "1.0", "1e3" -> not a number
//   "2147483648" -> out of range
//
// A value is stored only when the outcome is kOk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace recharge::table {

enum class ParseOutcome { kOk, kEmpty, kNotANumber, kOutOfRange };

ParseOutcome ParseNumber(std::string_view cell, bool decimal_comma, double& value);
ParseOutcome ParseInteger(std::string_view cell, std::int32_t& value);

// The shortest text that reads back as `value`, fixed or scientific, whichever
// is shorter, with ',' as the mark when decimal commas are allowed.
//   0.1 -> "0.1"   2.905 -> "2,905" (decimal commas)   1e21 -> "1e+21"   -0.0 -> "-0"
void AppendNumber(double value, bool decimal_comma, std::string& out);

}  // namespace recharge::table
