#include "table/cell_number.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace recharge::table {

namespace {

std::size_t SkipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  return i;
}

bool IsSign(char c) { return c == '+' || c == '-'; }

}  // namespace

ParseOutcome ParseNumber(std::string_view cell, bool decimal_comma, double& value) {
  if (cell.empty()) return ParseOutcome::kEmpty;
  const std::size_t digits_begin = IsSign(cell[0]) ? 1 : 0;
  std::size_t end = SkipDigits(cell, digits_begin);
  std::size_t mark = std::string_view::npos;
  if (end < cell.size() && (cell[end] == '.' || (decimal_comma && cell[end] == ','))) {
    mark = end;
    end = SkipDigits(cell, end + 1);
  }
  const std::size_t digits = end - digits_begin - (mark == std::string_view::npos ? 0 : 1);
  if (digits == 0) return ParseOutcome::kNotANumber;
  const std::size_t integer_digits = (mark == std::string_view::npos ? end : mark) - digits_begin;
  const bool has_exponent = end < cell.size() && (cell[end] == 'e' || cell[end] == 'E');
  if (has_exponent) {
    std::size_t exponent = end + 1;
    if (exponent < cell.size() && IsSign(cell[exponent])) ++exponent;
    end = SkipDigits(cell, exponent);
    if (end == exponent) return ParseOutcome::kNotANumber;
  }
  if (end != cell.size()) return ParseOutcome::kNotANumber;

  // strtod wants '.' and a terminator; it rounds correctly and, under held
  // traps, gives a denormal or zero on underflow and infinity on overflow.
  // Only overflow can trap, and it needs an exponent or more than 308 digits
  // before the mark: every other cell is converted with the traps armed,
  // saving the hold, which costs more than the conversion.
  std::string text(cell);
  if (mark != std::string_view::npos) text[mark] = '.';
  if (!has_exponent && integer_digits <= 308) {
    value = std::strtod(text.c_str(), nullptr);
    return ParseOutcome::kOk;
  }
  std::fenv_t traps;
  std::feholdexcept(&traps);
  const double converted = std::strtod(text.c_str(), nullptr);
  std::fesetenv(&traps);
  if (std::isinf(converted)) return ParseOutcome::kOutOfRange;
  value = converted;
  return ParseOutcome::kOk;
}

ParseOutcome ParseInteger(std::string_view cell, std::int32_t& value) {
  if (cell.empty()) return ParseOutcome::kEmpty;
  const bool negative = cell[0] == '-';
  if (IsSign(cell[0])) cell.remove_prefix(1);
  if (cell.empty() || SkipDigits(cell, 0) != cell.size()) return ParseOutcome::kNotANumber;
  // A negative value may reach 2^31.
  const std::int64_t largest = std::int64_t{std::numeric_limits<std::int32_t>::max()} + negative;
  std::int64_t magnitude = 0;
  for (const char c : cell) {
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > largest) return ParseOutcome::kOutOfRange;
  }
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return ParseOutcome::kOk;
}

void AppendNumber(double value, bool decimal_comma, std::string& out) {
  char text[32];  // the longest is 24 characters: "-2.2250738585072014e-308"
  char* const end = std::to_chars(text, text + sizeof text, value).ptr;
  if (decimal_comma) std::replace(text, end, '.', ',');
  out.append(text, end);
}

}  // namespace recharge::table
