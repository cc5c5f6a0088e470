#include "table/cell_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <span>
#include <string>

#include "runtime/double_chars.h"
#include "table/cell_excerpt.h"

namespace recharge::table {

namespace {

constexpr std::size_t kShortCell = 100;

std::size_t SkipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  return i;
}

bool IsSign(char c) { return c == '+' || c == '-'; }

// The value of the text after the e, within +-1,000,000: beyond that every
// number is out of range whatever its digits.
std::int64_t ExponentOf(std::string_view exponent) {
  std::int64_t power = 0;
  for (const char c : exponent) {
    if (c >= '0' && c <= '9') power = std::min<std::int64_t>(power * 10 + (c - '0'), 1'000'000);
  }
  return !exponent.empty() && exponent[0] == '-' ? -power : power;
}

// The decimal exponent of the leading nonzero digit of a number that
// from_chars found out of range: positive for an overflow, negative for an
// underflow (the two lie more than 300 decades apart). `digits` holds the
// digits and the mark, `power` the exponent.
bool Overflows(std::string_view digits, std::int64_t power) {
  const std::size_t mark = std::min(digits.find_first_of(".,"), digits.size());
  const std::size_t first = digits.find_first_of("123456789");
  std::int64_t decade = static_cast<std::int64_t>(mark) - static_cast<std::int64_t>(first);
  if (first > mark) ++decade;  // the mark lies between them
  return decade - 1 + power > 0;
}

// The text of a number with the exponent `power`: the digits with a point
// for the mark, then "e" and the exponent, in `copy` when it fits, else in
// `long_copy`.
std::string_view WithExponent(std::string_view digits, std::int64_t power, std::span<char> copy,
                              std::string& long_copy) {
  char exponent[24] = {'e'};
  const char* const exponent_end = std::to_chars(exponent + 1, std::end(exponent), power).ptr;
  const std::size_t size = digits.size() + static_cast<std::size_t>(exponent_end - exponent);
  char* text = copy.data();
  if (size > copy.size()) {
    long_copy.resize(size);
    text = long_copy.data();
  }
  char* end = std::replace_copy(digits.begin(), digits.end(), text, ',', '.');
  end = std::copy(static_cast<const char*>(exponent), exponent_end, end);
  return std::string_view(text, size);
}

// Moves the decimal point of `text`, the shortest form of a finite nonzero
// double ("4.879369975234298e+01"), by `shift` places, and writes it in the
// form of to_chars: fixed or scientific, whichever is shorter, fixed on a tie.
void AppendShifted(std::string_view text, int shift, std::string& out) {
  const std::size_t e = text.find('e');
  std::string digits(text.substr(0, e));
  digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
  if (digits[0] == '-') {
    out += '-';
    digits.erase(0, 1);
  }
  const long power = std::strtol(std::string(text.substr(e + 1)).c_str(), nullptr, 10) + shift;
  const long count = static_cast<long>(digits.size());
  std::string fixed;
  if (power < 0) {
    fixed = "0." + std::string(static_cast<std::size_t>(-power - 1), '0') + digits;
  } else if (power >= count - 1) {
    fixed = digits + std::string(static_cast<std::size_t>(power - (count - 1)), '0');
  } else {
    fixed = digits.substr(0, power + 1) + "." + digits.substr(power + 1);
  }
  std::string scientific = digits.substr(0, 1);
  if (count > 1) scientific.append(".").append(digits, 1);
  const long magnitude = std::labs(power);
  scientific += power < 0 ? "e-" : "e+";
  if (magnitude < 10) scientific += '0';
  scientific += std::to_string(magnitude);
  out += fixed.size() <= scientific.size() ? fixed : scientific;
}

}  // namespace

ParseOutcome ParseNumber(std::string_view cell, DecimalMark mark, double& value, int shift) {
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
  const std::string_view digits = cell.substr(digits_begin, digits_end - digits_begin);
  std::int64_t power = ExponentOf(cell.substr(std::min(digits_end + 1, cell.size())));
  char short_copy[kShortCell];
  std::string long_copy;
  std::string_view text = number;
  if (shift != 0) {
    power += shift;
    text = WithExponent(digits, power, short_copy, long_copy);
  } else if (mark == DecimalMark::kComma && mark_at != std::string_view::npos) {
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
      FromChars(text.data(), text.data() + text.size(), magnitude);
  if (result.ec == std::errc::result_out_of_range) {
    if (Overflows(digits, power)) {
      return ParseOutcome::kOutOfRange;
    }
    magnitude = 0.0;
  }
  value = negative ? -magnitude : magnitude;
  return ParseOutcome::kOk;
}

bool ReadCell(std::string_view name, std::string_view cell, DecimalMark mark,
              const UnitScale& scale, double& value, std::string& problem) {
  const ParseOutcome outcome = ParseNumber(cell, mark, value, scale.shift);
  if (outcome == ParseOutcome::kEmpty) {
    value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  const auto beyond = [&] {
    problem = std::string(name) + ": " + Excerpt(cell) +
              " is beyond the range of a double in the model's unit";
    return false;
  };
  if (outcome == ParseOutcome::kOutOfRange && scale.shift != 0 &&
      ParseNumber(cell, mark, value) == ParseOutcome::kOk) {
    return beyond();  // a double in its own unit
  }
  if (outcome != ParseOutcome::kOk) {
    problem = NumberProblem(name, cell, outcome, mark);
    return false;
  }
  if (scale.power_of_ten) return true;
  if (std::fabs(value) > scale.largest) return beyond();
  value *= scale.factor;
  return true;
}

bool ReadTextCell(std::string_view name, std::string_view text, const UnitScale& scale,
                  double& value, std::string& problem) {
  const std::size_t begin = text.find_first_not_of(" \t");
  text = begin == std::string_view::npos
             ? std::string_view()
             : text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
  return ReadCell(name, text, DecimalMark::kPoint, scale, value, problem);
}

std::string NumberProblem(std::string_view name, std::string_view cell, ParseOutcome outcome,
                          DecimalMark mark) {
  const char* reason = " is not a number";
  if (outcome == ParseOutcome::kOtherMark) {
    reason = mark == DecimalMark::kComma ? ": a point in a table with decimal commas"
                                         : ": a comma in a table with decimal points";
  } else if (outcome == ParseOutcome::kOutOfRange) {
    reason = " is beyond the range of a double";
  }
  return std::string(name) + ": " + Excerpt(cell) + reason;
}

void AppendNumber(double value, DecimalMark mark, std::string& out, int shift) {
  char text[32];  // the longest is 24 characters: "-2.2250738585072014e-308"
  const std::size_t begin = out.size();
  if (shift == 0 || value == 0.0 || !std::isfinite(value)) {
    out.append(text, ToChars(text, text + sizeof text, value).ptr);
  } else {
    char* const end = ToCharsScientific(text, text + sizeof text, value).ptr;
    AppendShifted(std::string_view(text, static_cast<std::size_t>(end - text)), shift, out);
  }
  if (mark == DecimalMark::kComma) std::replace(out.begin() + begin, out.end(), '.', ',');
}

double ResultIn(double value, const UnitScale& out) {
  if (!out.power_of_ten) {
    return std::fabs(value) <= out.largest ? value * out.factor : std::copysign(HUGE_VAL, value);
  }
  if (out.shift == 0 || !std::isfinite(value)) return value;
  thread_local std::string shifted;
  shifted.clear();
  AppendNumber(value, DecimalMark::kPoint, shifted, out.shift);
  double read = 0.0;
  ParseNumber(shifted, DecimalMark::kPoint, read);
  return read;
}

}  // namespace recharge::table
