// Doubles to text and back as <charconv> converts them, in the forms the
// programs use: the shortest text that reads back as the same double (fixed
// or scientific, whichever is shorter, fixed on a tie), the same in
// scientific form, scientific with a precision, and the correctly rounded
// double of a decimal number.
//
// Where the C++ library lacks the floating-point conversions (Emscripten's
// libc++), the stand-ins of exact_chars.h take their place with the same
// bytes and the same doubles.
//
//   ToChars(0.1)                     -> "0.1" (0.1000000000000000055511151231257827...)
//   ToChars(1e23)                    -> "1e+23" (9.999999999999999161...e22)
//   ToChars(1.2345678901234568e20)   -> "123456789012345683968", a whole number in full
//   ToCharsScientific(2.5, 0)        -> "2e+00"
#pragma once

#include <charconv>
#include <system_error>
#include <version>

#ifndef __cpp_lib_to_chars
#include "runtime/exact_chars.h"
#endif

namespace recharge {

#ifdef __cpp_lib_to_chars
inline std::to_chars_result ToChars(char* first, char* last, double value) {
  return std::to_chars(first, last, value);
}
inline std::to_chars_result ToCharsScientific(char* first, char* last, double value) {
  return std::to_chars(first, last, value, std::chars_format::scientific);
}
inline std::to_chars_result ToCharsScientific(char* first, char* last, double value,
                                              int precision) {
  return std::to_chars(first, last, value, std::chars_format::scientific, precision);
}
inline std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  return std::from_chars(first, last, value);
}
#else
using exact_chars::FromChars;
using exact_chars::ToChars;
using exact_chars::ToCharsScientific;
#endif

}  // namespace recharge
