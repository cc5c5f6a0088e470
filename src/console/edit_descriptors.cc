#include "console/edit_descriptors.h"

#include <cmath>
#include <cstdlib>

#include "console/decimal_digits.h"

namespace recharge {

namespace {

// Right-justifies `field` in w columns, or writes w asterisks when it is
// longer than that. A value that is not finite never fits.
void AppendJustified(const std::string& field, bool fits, int w, std::string& out) {
  const int length = static_cast<int>(field.size());
  if (!fits || length > w) {
    out.append(static_cast<std::size_t>(w), '*');
    return;
  }
  out.append(static_cast<std::size_t>(w - length), ' ');
  out += field;
}

}  // namespace

void AppendFixed(double value, int w, int d, std::string& out) {
  std::string field;
  if (std::isfinite(value)) {
    DecimalDigits digits = ToDecimalDigits(value);
    RoundHalfUp(digits, digits.exponent + d);
    if (digits.negative && !digits.IsZero()) field += '-';
    const int x = digits.exponent;
    for (int i = 0; i < x; ++i) field += digits.DigitAt(i);
    if (x <= 0 && d == 0) field += '0';
    field += '.';
    for (int i = 0; i < d; ++i) field += digits.DigitAt(x + i);
  }
  AppendJustified(field, std::isfinite(value), w, out);
}

void AppendExponent(double value, int w, int d, std::string& out) {
  std::string field;
  if (std::isfinite(value)) {
    DecimalDigits digits = ToDecimalDigits(value);
    RoundHalfUp(digits, d);
    if (digits.IsZero()) digits.exponent = 0;
    if (digits.negative && !digits.IsZero()) field += '-';
    field += '.';
    for (int i = 0; i < d; ++i) field += digits.DigitAt(i);
    const int x = digits.exponent;
    const int magnitude = std::abs(x);
    // Two exponent digits after 'E'; three take the place of the 'E'.
    if (magnitude < 100) field += 'E';
    field += x < 0 ? '-' : '+';
    if (magnitude >= 100) field += static_cast<char>('0' + magnitude / 100);
    field += static_cast<char>('0' + magnitude / 10 % 10);
    field += static_cast<char>('0' + magnitude % 10);
  }
  AppendJustified(field, std::isfinite(value), w, out);
}

}  // namespace recharge
