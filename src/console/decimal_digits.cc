#include "console/decimal_digits.h"

#include <charconv>
#include <cstdlib>

#include "runtime/double_chars.h"

namespace recharge {

bool DecimalDigits::IsZero() const {
  for (char c : digits) {
    if (c != '0') return false;
  }
  return true;
}

char DecimalDigits::DigitAt(int index) const {
  return index >= 0 && index < kCount ? digits[index] : '0';
}

DecimalDigits ToDecimalDigits(double value) {
  // "d.ddddddddddddddde+XX": one digit, the point, 15 digits, the exponent.
  char text[32];
  const std::to_chars_result r =
      ToCharsScientific(text, text + sizeof text, value, DecimalDigits::kCount - 1);
  DecimalDigits d{};
  const char* p = text;
  d.negative = *p == '-';
  if (d.negative) ++p;
  d.digits[0] = *p++;
  ++p;  // the point
  for (int i = 1; i < DecimalDigits::kCount; ++i) d.digits[i] = *p++;
  ++p;  // 'e'
  int exponent = 0;
  std::from_chars(*p == '+' ? p + 1 : p, r.ptr, exponent);
  d.exponent = d.IsZero() ? 0 : exponent + 1;
  return d;
}

void RoundHalfUp(DecimalDigits& d, int keep) {
  if (keep >= DecimalDigits::kCount) return;
  if (keep < 0) {
    for (char& c : d.digits) c = '0';
    return;
  }
  const bool up = d.digits[keep] >= '5';
  for (int i = keep; i < DecimalDigits::kCount; ++i) d.digits[i] = '0';
  if (!up) return;
  int i = keep - 1;
  while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
  if (i >= 0) {
    ++d.digits[i];
  } else {
    d.digits[0] = '1';
    ++d.exponent;
  }
}

}  // namespace recharge
