#include "console/number_conversion.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "console/line_reader.h"

namespace recharge {

namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of `c` as a digit of base 36, or 36 when it is none.
int DigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 36;
}

// Accumulates the digits of `text` in `base`, failing once the value passes
// the largest 32-bit integer.
RuntimeError Accumulate(std::string_view text, int base, std::int64_t& value) {
  value = 0;
  for (char c : text) {
    const int digit = DigitValue(c);
    if (digit >= base) return RuntimeError::kInvalidInteger;
    value = value * base + digit;
    if (value > kLargest) return RuntimeError::kIntegerOverflow;
  }
  return RuntimeError::kNone;
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

}  // namespace

RuntimeError ConvertInteger(std::string_view token, std::int32_t& value) {
  if (token == "-2147483648") {
    value = std::numeric_limits<std::int32_t>::min();
    return RuntimeError::kNone;
  }
  const bool negative = !token.empty() && token[0] == '-';
  if (!token.empty() && (token[0] == '-' || token[0] == '+')) token.remove_prefix(1);
  int base = 10;
  if (const std::size_t mark = token.find('#'); mark != std::string_view::npos) {
    if (token.find('#', mark + 1) != std::string_view::npos) return RuntimeError::kBadRadix;
    base = 16;
    if (mark > 0) {
      std::int64_t radix = 0;
      const RuntimeError error = Accumulate(token.substr(0, mark), 10, radix);
      if (error == RuntimeError::kInvalidInteger) return error;
      if (error != RuntimeError::kNone || radix < 2 || radix > 36) return RuntimeError::kBadRadix;
      base = static_cast<int>(radix);
    }
    token.remove_prefix(mark + 1);
  }
  std::int64_t magnitude = 0;
  if (const RuntimeError error = Accumulate(token, base, magnitude); error != RuntimeError::kNone) {
    return error;
  }
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return RuntimeError::kNone;
}

RuntimeError ConvertReal(std::string_view token, double& value) {
  // Syntax first: [sign] digits [. digits] [exponent letter [sign] digits].
  std::size_t i = 0;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
  const std::size_t integer_end = SkipDigits(token, i);
  std::size_t end = integer_end;
  if (end < token.size() && token[end] == '.') end = SkipDigits(token, end + 1);
  if (end - i == 0 || (integer_end == i && end == i + 1)) return RuntimeError::kInvalidReal;
  const std::size_t mantissa_end = end;
  if (end < token.size() && std::string_view("EeDd").find(token[end]) != std::string_view::npos) {
    std::size_t j = end + 1;
    if (j < token.size() && (token[j] == '+' || token[j] == '-')) ++j;
    const std::size_t digits_end = SkipDigits(token, j);
    if (digits_end > j) end = digits_end;
  }
  if (end != token.size()) return RuntimeError::kCharactersAfterReal;

  // strtod wants 'e' and a terminator; it rounds correctly, and returns a
  // denormal or zero on underflow and infinity on overflow.
  char text[kInputBufferSize + 1];
  if (end >= sizeof text) return RuntimeError::kLineTooLong;  // no token is longer than a line
  for (std::size_t k = 0; k < end; ++k) text[k] = k == mantissa_end ? 'e' : token[k];
  text[end] = '\0';
  const double converted = std::strtod(text, nullptr);
  if (std::isinf(converted)) return RuntimeError::kRealOverflow;
  value = converted;
  return RuntimeError::kNone;
}

}  // namespace recharge
