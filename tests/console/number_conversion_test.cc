#include "console/number_conversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace recharge {
namespace {

constexpr RuntimeError kOk = RuntimeError::kNone;

TEST(NumberConversionTest, Integers) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const struct {
    const char* token;
    RuntimeError error;
    std::int32_t value = 0;
  } cases[] = {
      {"+17", kOk, 17},
      {"-17", kOk, -17},
      {"2147483647", kOk, kMax},
      {"-2147483648", kOk, std::numeric_limits<std::int32_t>::min()},
      {"2147483648", RuntimeError::kIntegerOverflow},
      {"-2147483649", RuntimeError::kIntegerOverflow},
      // Radix forms.
      {"16#ff", kOk, 255},
      {"#FF", kOk, 255},
      {"36#z", kOk, 35},
      {"-8#17", kOk, -15},
      {"16#7FFFFFFF", kOk, kMax},
      {"16#80000000", RuntimeError::kIntegerOverflow},
      {"1#0", RuntimeError::kBadRadix},
      {"37#1", RuntimeError::kBadRadix},
      {"2#1#0", RuntimeError::kBadRadix},
      {"2#102", RuntimeError::kInvalidInteger},
      // Anything else is an invalid character; no digits at all is zero.
      {"1.0", RuntimeError::kInvalidInteger},
      {"yes", RuntimeError::kInvalidInteger},
      {"1-", RuntimeError::kInvalidInteger},
      {"-", kOk, 0},
      {"#", kOk, 0},
      {"16#", kOk, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    std::int32_t value = 77;
    EXPECT_EQ(ConvertInteger(c.token, value), c.error);
    if (c.error == kOk) {
      EXPECT_EQ(value, c.value);
    }
  }
}

// Traps are on in this binary: overflow and underflow must come back as
// results, not as SIGFPE.
TEST(NumberConversionTest, Reals) {
  const double denorm_min = std::numeric_limits<double>::denorm_min();
  const struct {
    const char* token;
    RuntimeError error;
    double value = 0.0;
  } cases[] = {
      {"5", kOk, 5.0},
      {"-2.5", kOk, -2.5},
      {"+.5", kOk, 0.5},
      {"5.", kOk, 5.0},
      {"1d3", kOk, 1000.0},
      {"2.5E-1", kOk, 0.25},
      {"-1.5D+2", kOk, -150.0},
      {"x", RuntimeError::kInvalidReal},
      {".", RuntimeError::kInvalidReal},
      {"-", RuntimeError::kInvalidReal},
      {"e5", RuntimeError::kInvalidReal},
      {"1.5x", RuntimeError::kCharactersAfterReal},
      {"1e", RuntimeError::kCharactersAfterReal},
      {"1e+", RuntimeError::kCharactersAfterReal},
      {"1.2.3", RuntimeError::kCharactersAfterReal},
      // The largest double, and the first value that rounds beyond it.
      {"1.7976931348623158e308", kOk, std::numeric_limits<double>::max()},
      {"1.7976931348623159e308", RuntimeError::kRealOverflow},
      {"-1e400", RuntimeError::kRealOverflow},
      // Underflow keeps the nearest double; half of the smallest denormal is
      // 2.47032822920623272088e-324.
      {"1e-400", kOk, 0.0},
      {"4.9406564584124654e-324", kOk, denorm_min},
      {"2.4703282292062328e-324", kOk, denorm_min},
      {"2.4703282292062327e-324", kOk, 0.0},
      // Correct rounding: 2^53 + 1 is a tie (to even), anything above it is not.
      {"9007199254740993", kOk, 9007199254740992.0},
      {"9007199254740993.00000000001", kOk, 9007199254740994.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    double value = 77.0;
    EXPECT_EQ(ConvertReal(c.token, value), c.error);
    if (c.error == kOk) {
      EXPECT_EQ(value, c.value);
    }
  }
}

}  // namespace
}  // namespace recharge
