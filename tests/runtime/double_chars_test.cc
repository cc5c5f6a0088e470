// The exact stand-ins of the floating-point <charconv> conversions against
// the C++ library's own, byte for byte and bit for bit: what they give where
// the library lacks them must be what it gives here.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "runtime/bit_cast.h"
#include "runtime/exact_chars.h"

namespace recharge {
namespace {

std::string Text(std::to_chars_result r, char* text) {
  return r.ec == std::errc() ? std::string(text, r.ptr) : "value too large";
}

void ExpectSameText(double value) {
  SCOPED_TRACE(value);
  char ours[64];
  char theirs[64];
  const auto compare = [&](std::to_chars_result a, std::to_chars_result b) {
    EXPECT_EQ(Text(a, ours), Text(b, theirs));
  };
  compare(exact_chars::ToChars(ours, ours + 64, value), std::to_chars(theirs, theirs + 64, value));
  compare(exact_chars::ToCharsScientific(ours, ours + 64, value),
          std::to_chars(theirs, theirs + 64, value, std::chars_format::scientific));
  for (int precision : {0, 1, 2, 15, 16, 17, 40}) {
    compare(exact_chars::ToCharsScientific(ours, ours + 64, value, precision),
            std::to_chars(theirs, theirs + 64, value, std::chars_format::scientific, precision));
  }
  compare(exact_chars::ToChars(ours, ours + 4, value), std::to_chars(theirs, theirs + 4, value));
  compare(exact_chars::ToCharsScientific(ours, ours + 8, value, 15),
          std::to_chars(theirs, theirs + 8, value, std::chars_format::scientific, 15));
}

void ExpectSameDouble(const std::string& text) {
  SCOPED_TRACE(text);
  double ours = -1.0;
  double theirs = -1.0;
  const std::from_chars_result a =
      exact_chars::FromChars(text.data(), text.data() + text.size(), ours);
  const std::from_chars_result b = std::from_chars(text.data(), text.data() + text.size(), theirs);
  EXPECT_EQ(a.ec, b.ec);
  EXPECT_EQ(a.ptr - text.data(), b.ptr - text.data());
  EXPECT_EQ(BitCast<std::uint64_t>(ours), BitCast<std::uint64_t>(theirs));
}

TEST(DoubleChars, WritesAsTheLibrary) {
  std::vector<double> values = {
      0.0, -0.0, 0.1, -0.1, 0.3, 1e23, 1e22, 9.999999999999999e22, 1.2345678901234568e20,
      0x1p53 + 2,
      // Ties at precision 15: the 17th significant digit is a final 5.
      1234567890123456.5, 1234567890123457.5, 48.79369975234298, 11.206300247657019,
      std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
      std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
      -std::numeric_limits<double>::quiet_NaN()};
  // Every power of two: the gap below is half the gap above.
  for (int e = -1074; e <= 1023; ++e) values.push_back(std::ldexp(1.0, e));
  // Short dyadic fractions: ties at every precision.
  for (int n = 1; n < 200; n += 3) {
    for (int e = -12; e <= 0; ++e) values.push_back(std::ldexp(n, e));
  }
  std::mt19937_64 random(20240611);
  for (int i = 0; i < 10000; ++i) {
    values.push_back(BitCast<double>(random()));
    // Whole numbers beyond 2^53, written in full in fixed form up to 1e21.
    values.push_back(
        std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 40)));
  }
  for (const double value : values) ExpectSameText(value);
}

TEST(DoubleChars, ReadsAsTheLibrary) {
  const char* const texts[] = {
      // Beyond the range of a double, or just within it.
      "1e-400", "2e-324", "3e-324", "1e309", "1.7976931348623158e308", "1.7976931348623159e308",
      // Where the number ends, or that there is none.
      "0e999999", "-0", "5.", ".5", "007.50", "1e", "1e+", "2E-3x", "12abc", "0x10", "", ".", "-",
      "-.e1", "+1",
      // Not a number, or infinite as written.
      "inf", "-Infinity", "infinit", "NaN", "-nan", "nan(12ab)", "nan(", "in"};
  for (const char* text : texts) ExpectSameDouble(text);
  std::mt19937_64 random(7);
  const auto digits = [&random](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
    return text;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string mantissa = digits(1 + static_cast<int>(random() % 30));
    const std::size_t point = random() % (mantissa.size() + 1);
    ExpectSameDouble(mantissa.substr(0, point) + "." + mantissa.substr(point) + "e" +
                     std::to_string(static_cast<int>(random() % 800) - 400));
    if (const double value = BitCast<double>(random()); std::isfinite(value)) {
      char text[32];
      ExpectSameDouble(std::string(text, std::to_chars(text, text + 32, value).ptr));
    }
  }
}

}  // namespace
}  // namespace recharge
