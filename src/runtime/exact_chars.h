// The floating-point <charconv> conversions of double_chars.h for a C++
// library that lacks them (Emscripten's libc++), with the library's bytes and
// doubles: {fmt} writes (libfmt-dev, header-only) and fast_float reads
// (libfast-float-dev), both exact.
//
// The shortest digits are Dragonbox's, the nearest to the value of the
// fewest that read back, as <charconv>'s; a precision rounds the value's
// exact digits, ties to even. A whole number in fixed form has all of its
// own digits, not the shortest ones padded with zeros. The text read is
// <charconv>'s: [-] digits [. digits] [e|E [sign] digits], with a digit at
// least before the exponent, or inf, infinity or nan, in any case; a
// number beyond the range, infinite or zero where its digits are not,
// leaves the double as it was and is result_out_of_range.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <system_error>

// {fmt} from its headers alone, and without the C++ locale, as <charconv>.
#ifndef FMT_HEADER_ONLY
#define FMT_HEADER_ONLY
#endif
#ifndef FMT_STATIC_THOUSANDS_SEPARATOR
#define FMT_STATIC_THOUSANDS_SEPARATOR ','
#endif
#include <fast_float/fast_float.h>
#include <fmt/compile.h>

namespace recharge::exact_chars {

// The shortest significant digits of a finite positive double, and the
// decimal exponent of the first.
struct Digits {
  char digits[20];
  int count;
  int exponent;
};

inline Digits Shortest(double magnitude) {
  const auto decimal = fmt::detail::dragonbox::to_decimal(magnitude);
  const std::uint64_t significand = decimal.significand;
  Digits d;
  const char* const end = std::to_chars(d.digits, std::end(d.digits), significand).ptr;
  d.count = static_cast<int>(end - d.digits);
  d.exponent = decimal.exponent + d.count - 1;
  return d;
}

// "d.ddde+XX", two exponent digits at least.
inline int ScientificLength(const Digits& d) {
  return d.count + (d.count > 1 ? 1 : 0) + (std::abs(d.exponent) >= 100 ? 5 : 4);
}

inline char* Scientific(char* out, const Digits& d) {
  *out++ = d.digits[0];
  if (d.count > 1) {
    *out++ = '.';
    out = std::copy(d.digits + 1, d.digits + d.count, out);
  }
  *out++ = 'e';
  *out++ = d.exponent < 0 ? '-' : '+';
  if (std::abs(d.exponent) < 10) *out++ = '0';
  return std::to_chars(out, out + 3, std::abs(d.exponent)).ptr;
}

// The fixed form. A whole number is written in full, its own digits, which
// beyond 2^53 are not always the shortest digits and zeros; where the fixed
// form is the shorter, they are as many as the shortest digits' exponent says.
inline int FixedLength(const Digits& d) {
  if (d.exponent >= d.count - 1) return d.exponent + 1;
  return d.exponent >= 0 ? d.count + 1 : d.count + 1 - d.exponent;
}

inline char* Fixed(char* out, const Digits& d, double magnitude) {
  if (d.exponent >= d.count - 1) {
    if (magnitude < 0x1p64) {
      return std::to_chars(out, out + 20, static_cast<std::uint64_t>(magnitude)).ptr;
    }
    return fmt::format_to(out, FMT_COMPILE("{:.0f}"), magnitude);
  }
  if (d.exponent >= 0) {
    out = std::copy(d.digits, d.digits + d.exponent + 1, out);
    *out++ = '.';
    return std::copy(d.digits + d.exponent + 1, d.digits + d.count, out);
  }
  *out++ = '0';
  *out++ = '.';
  out = std::fill_n(out, -d.exponent - 1, '0');
  return std::copy(d.digits, d.digits + d.count, out);
}

// The sign, then "inf", "nan" or what `form` writes of the magnitude, if it
// fits; the longest is "-2.2250738585072014e-308" or a whole number below
// 10^22.
template <class Form>
std::to_chars_result WriteShortest(char* first, char* last, double value, Form form) {
  char text[32];
  char* end = text;
  if (std::signbit(value)) *end++ = '-';
  if (std::isnan(value)) {
    end = std::copy_n("nan", 3, end);
  } else if (std::isinf(value)) {
    end = std::copy_n("inf", 3, end);
  } else {
    const double magnitude = std::fabs(value);
    end = form(end, Shortest(magnitude), magnitude);
  }
  if (end - text > last - first) return {last, std::errc::value_too_large};
  return {std::copy(text, end, first), std::errc()};
}

// Fixed or scientific, whichever is shorter, fixed on a tie.
inline std::to_chars_result ToChars(char* first, char* last, double value) {
  return WriteShortest(first, last, value, [](char* out, const Digits& d, double magnitude) {
    return FixedLength(d) <= ScientificLength(d) ? Fixed(out, d, magnitude) : Scientific(out, d);
  });
}

inline std::to_chars_result ToCharsScientific(char* first, char* last, double value) {
  return WriteShortest(first, last, value,
                       [](char* out, const Digits& d, double) { return Scientific(out, d); });
}

inline std::to_chars_result ToCharsScientific(char* first, char* last, double value,
                                              int precision) {
  const auto written = fmt::format_to_n(first, static_cast<std::size_t>(last - first),
                                        FMT_COMPILE("{:.{}e}"), value, precision);
  if (written.size > static_cast<std::size_t>(last - first)) {
    return {last, std::errc::value_too_large};
  }
  return {written.out, std::errc()};
}

inline std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  double read = 0.0;
  const fast_float::from_chars_result result = fast_float::from_chars(first, last, read);
  if (result.ec != std::errc()) return {result.ptr, result.ec};
  const char* const digits = *first == '-' ? first + 1 : first;
  const bool numeral = *digits == '.' || (*digits >= '0' && *digits <= '9');
  const char* const exponent =
      std::find_if(digits, result.ptr, [](char c) { return c == 'e' || c == 'E'; });
  const bool nonzero =
      std::find_if(digits, exponent, [](char c) { return c > '0' && c <= '9'; }) != exponent;
  if ((numeral && std::isinf(read)) || (read == 0.0 && nonzero)) {
    return {result.ptr, std::errc::result_out_of_range};
  }
  value = read;
  return {result.ptr, std::errc()};
}

}  // namespace recharge::exact_chars
