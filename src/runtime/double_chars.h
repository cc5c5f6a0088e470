// Doubles to text and back as <charconv> converts them, in the forms the
// programs use: the shortest text that reads back as the same double (fixed
// or scientific, whichever is shorter, fixed on a tie), the same in
// scientific form, scientific with a precision, and the correctly rounded
// double of a decimal number.
//
// Where the C++ library lacks the floating-point conversions (Emscripten's
// libc++), exact stand-ins take their place with the same bytes and the same
// doubles. They write from all of a double's decimal digits, m 2^e as the
// integer m 5^-e times 10^e when e < 0: a precision takes the nearest
// digits, ties to even; the shortest text is that of the fewest digits
// whose nearer or farther neighbour of the value reads back. They read with
// strtod, which rounds correctly, and take no "inf" or "nan".
//
//   ToChars(0.1)                     -> "0.1" (0.1000000000000000055511151231257827...)
//   ToChars(1e23)                    -> "1e+23" (9.999999999999999161...e22)
//   ToChars(1.2345678901234568e20)   -> "123456789012345683968", a whole number in full
//   ToCharsScientific(2.5, 0)        -> "2e+00"
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>
#include <version>

#include "runtime/bit_cast.h"

namespace recharge {

namespace exact_chars {

// All the decimal digits of a finite double's magnitude: digits x 10^power.
struct Expansion {
  std::string digits;  // most significant first, "0" for zero
  int power;
};

inline Expansion Expand(double value) {
  const std::uint64_t bits = BitCast<std::uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  std::uint64_t m = bits & 0xfffffffffffff;
  if (biased > 0) m |= std::uint64_t{1} << 52;
  if (m == 0) return {"0", 0};
  const int e = std::max(biased, 1) - 1075;
  std::string reversed;  // least significant digit first while it grows
  for (; m > 0; m /= 10) reversed += static_cast<char>('0' + m % 10);
  // By factors below 2^64 / 10: a digit times the factor plus the carry fits.
  const auto multiply = [&reversed](std::uint64_t factor) {
    std::uint64_t carry = 0;
    for (char& digit : reversed) {
      carry += static_cast<std::uint64_t>(digit - '0') * factor;
      digit = static_cast<char>('0' + carry % 10);
      carry /= 10;
    }
    for (; carry > 0; carry /= 10) reversed += static_cast<char>('0' + carry % 10);
  };
  for (int k = e; k > 0; k -= 60) multiply(std::uint64_t{1} << std::min(k, 60));
  for (int k = -e; k > 0; k -= 26) {
    std::uint64_t factor = 1;
    for (int i = std::min(k, 26); i > 0; --i) factor *= 5;
    multiply(factor);
  }
  return {std::string(reversed.rbegin(), reversed.rend()), std::min(e, 0)};
}

// Significant digits and the decimal exponent of the first.
struct Digits {
  std::string digits;
  int exponent;
};

// The two neighbours of a value with `count` significant digits, the nearer
// first (the even one on a tie); `exact` when the first is the value.
struct Neighbours {
  Digits nearer;
  Digits farther;
  bool exact;
};

inline Neighbours Around(const Expansion& x, std::size_t count) {
  Digits below{x.digits.substr(0, count), static_cast<int>(x.digits.size()) - 1 + x.power};
  below.digits.resize(count, '0');
  Digits above = below;
  std::size_t i = count;
  while (i > 0 && above.digits[i - 1] == '9') above.digits[--i] = '0';
  if (i > 0) {
    ++above.digits[i - 1];
  } else {  // 99 -> 10, one decade up
    above.digits[0] = '1';
    ++above.exponent;
  }
  const std::string_view rest = std::string_view(x.digits).substr(std::min(count, x.digits.size()));
  if (rest.find_first_not_of('0') == std::string_view::npos) return {below, above, true};
  const bool above_half =
      rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string_view::npos);
  const bool tie = rest[0] == '5' && !above_half;
  if (above_half || (tie && (below.digits.back() - '0') % 2 == 1)) return {above, below, false};
  return {below, above, false};
}

// "d.ddde+XX", two exponent digits at least.
inline std::string Scientific(const Digits& d) {
  std::string text = d.digits.substr(0, 1);
  if (d.digits.size() > 1) text.append(".").append(d.digits, 1);
  text += d.exponent < 0 ? "e-" : "e+";
  if (std::abs(d.exponent) < 10) text += '0';
  char exponent[8];
  return text.append(exponent,
                     std::to_chars(exponent, exponent + sizeof exponent, std::abs(d.exponent)).ptr);
}

// The shortest digits of a finite double's magnitude.
inline Digits Shortest(double magnitude, const Expansion& x) {
  const auto reads_back = [magnitude](const Digits& d) {
    return std::strtod(Scientific(d).c_str(), nullptr) == magnitude;
  };
  for (std::size_t count = 1;; ++count) {
    const Neighbours n = Around(x, count);
    if (n.exact || reads_back(n.nearer)) return n.nearer;
    if (reads_back(n.farther)) return n.farther;
  }
}

// The fixed form of the shortest digits `d` of `x`; a whole number has all
// of its own digits.
inline std::string Fixed(const Digits& d, const Expansion& x) {
  const int count = static_cast<int>(d.digits.size());
  if (d.exponent >= count - 1) {
    return x.digits.substr(0, x.digits.size() - static_cast<std::size_t>(-x.power));
  }
  if (d.exponent >= 0) {
    return d.digits.substr(0, d.exponent + 1) + "." + d.digits.substr(d.exponent + 1);
  }
  return "0." + std::string(-d.exponent - 1, '0') + d.digits;
}

// The sign, then "inf", "nan" or `form` of the magnitude's digits, if it fits.
template <class Form>
std::to_chars_result Write(char* first, char* last, double value, Form form) {
  std::string text = std::signbit(value) ? "-" : "";
  if (std::isnan(value)) {
    text += "nan";
  } else if (std::isinf(value)) {
    text += "inf";
  } else {
    const double magnitude = std::fabs(value);
    text += form(magnitude, Expand(magnitude));
  }
  if (text.size() > static_cast<std::size_t>(last - first)) {
    return {last, std::errc::value_too_large};
  }
  return {std::copy(text.begin(), text.end(), first), std::errc()};
}

inline std::to_chars_result ToChars(char* first, char* last, double value) {
  return Write(first, last, value, [](double magnitude, const Expansion& x) {
    const Digits d = Shortest(magnitude, x);
    std::string fixed = Fixed(d, x);
    std::string scientific = Scientific(d);
    return fixed.size() <= scientific.size() ? fixed : scientific;
  });
}

inline std::to_chars_result ToCharsScientific(char* first, char* last, double value) {
  return Write(first, last, value, [](double magnitude, const Expansion& x) {
    return Scientific(Shortest(magnitude, x));
  });
}

inline std::to_chars_result ToCharsScientific(char* first, char* last, double value,
                                              int precision) {
  return Write(first, last, value, [precision](double, const Expansion& x) {
    return Scientific(Around(x, static_cast<std::size_t>(precision) + 1).nearer);
  });
}

// The decimal number at `first`: [-] digits [. digits] [e|E [sign] digits],
// with a digit at least before the exponent.
inline std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  const auto skip_digits = [last](const char* p) {
    while (p != last && *p >= '0' && *p <= '9') ++p;
    return p;
  };
  const char* const digits = first != last && *first == '-' ? first + 1 : first;
  const char* end = skip_digits(digits);
  std::ptrdiff_t count = end - digits;
  if (end != last && *end == '.') {
    const char* const fraction = end + 1;
    end = skip_digits(fraction);
    count += end - fraction;
  }
  if (count == 0) return {first, std::errc::invalid_argument};
  const bool nonzero = std::find_if(digits, end, [](char c) { return c > '0' && c <= '9'; }) != end;
  if (end != last && (*end == 'e' || *end == 'E')) {
    const char* exponent = end + 1;
    if (exponent != last && (*exponent == '+' || *exponent == '-')) ++exponent;
    if (const char* exponent_end = skip_digits(exponent); exponent_end != exponent) {
      end = exponent_end;
    }
  }
  const double read = std::strtod(std::string(first, end).c_str(), nullptr);
  if (std::isinf(read) || (read == 0.0 && nonzero)) return {end, std::errc::result_out_of_range};
  value = read;
  return {end, std::errc()};
}

}  // namespace exact_chars

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
