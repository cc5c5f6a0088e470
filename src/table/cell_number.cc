#include "table/cell_number.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace recharge::table {

namespace {

constexpr std::size_t kShortCell = 100;

std::size_t SkipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  return i;
}

bool IsSign(char c) { return c == '+' || c == '-'; }

// The decimal exponent of the leading nonzero digit of a number that
// from_chars found out of range: positive for an overflow, negative for an
// underflow (the two lie more than 300 decades apart). `digits` holds the
// digits and the mark, `exponent` the text after the e.
bool Overflows(std::string_view digits, std::string_view exponent) {
  const std::size_t mark = std::min(digits.find_first_of(".,"), digits.size());
  const std::size_t first = digits.find_first_of("123456789");
  std::int64_t decade = static_cast<std::int64_t>(mark) - static_cast<std::int64_t>(first);
  if (first > mark) ++decade;  // the mark lies between them
  std::int64_t power = 0;
  const bool negative = !exponent.empty() && exponent[0] == '-';
  for (const char c : exponent) {
    if (c >= '0' && c <= '9') power = std::min<std::int64_t>(power * 10 + (c - '0'), 1'000'000);
  }
  return decade - 1 + (negative ? -power : power) > 0;
}

}  // namespace

ParseOutcome ParseNumber(std::string_view cell, DecimalMark mark, double& value) {
  if (cell.empty()) return ParseOutcome::kEmpty;
  const bool negative = cell[0] == '-';
  const std::size_t digits_begin = IsSign(cell[0]) ? 1 : 0;
  std::size_t end = SkipDigits(cell, digits_begin);
  std::size_t mark_at = std::string_view::npos;
  if (end < cell.size() && (cell[end] == '.' || cell[end] == ',')) {
    mark_at = end;
    end = SkipDigits(cell, end + 1);
  }
  if (end - digits_begin - (mark_at == std::string_view::npos ? 0 : 1) == 0) {
    return ParseOutcome::kNotANumber;
  }
  const std::size_t digits_end = end;
  if (end < cell.size() && (cell[end] == 'e' || cell[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < cell.size() && IsSign(cell[exponent])) ++exponent;
    end = SkipDigits(cell, exponent);
    if (end == exponent) return ParseOutcome::kNotANumber;
  }
  if (end != cell.size()) return ParseOutcome::kNotANumber;
  if (mark_at != std::string_view::npos && cell[mark_at] != static_cast<char>(mark)) {
    return ParseOutcome::kOtherMark;
  }

  // from_chars takes no plus sign and only a point for the mark. It neither
  // depends on the locale nor raises a trapped exception.
  const std::string_view number = cell.substr(digits_begin);
  char short_copy[kShortCell];
  std::string long_copy;
  std::string_view text = number;
  if (mark == DecimalMark::kComma && mark_at != std::string_view::npos) {
    char* copy = short_copy;
    if (number.size() > kShortCell) {
      long_copy.assign(number);
      copy = long_copy.data();
    } else {
      std::copy(number.begin(), number.end(), copy);
    }
    copy[mark_at - digits_begin] = '.';
    text = std::string_view(copy, number.size());
  }
  double magnitude = 0.0;
  const std::from_chars_result result =
      std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (result.ec == std::errc::result_out_of_range) {
    if (Overflows(cell.substr(digits_begin, digits_end - digits_begin),
                  cell.substr(std::min(digits_end + 1, cell.size())))) {
      return ParseOutcome::kOutOfRange;
    }
    magnitude = 0.0;
  }
  value = negative ? -magnitude : magnitude;
  return ParseOutcome::kOk;
}

void AppendNumber(double value, DecimalMark mark, std::string& out) {
  char text[32];  // the longest is 24 characters: "-2.2250738585072014e-308"
  char* const end = std::to_chars(text, text + sizeof text, value).ptr;
  if (mark == DecimalMark::kComma) std::replace(text, end, '.', ',');
  out.append(text, end);
}

}  // namespace recharge::table
