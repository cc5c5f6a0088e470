#include "runtime/fixed_point.h"

#include <bit>
#include <limits>

#include "runtime/bit_cast.h"

namespace recharge::exp_log {

namespace {

constexpr std::uint64_t kLimbMask = 0xffffffff;

// 2^exponent for -1074 <= exponent <= 1023.
double TwoTo(std::int64_t exponent) {
  if (exponent >= -1022) return BitCast<double>(static_cast<std::uint64_t>(exponent + 1023) << 52);
  return BitCast<double>(std::uint64_t{1} << (exponent + 1074));
}

}  // namespace

double RoundBits(std::uint64_t top, bool sticky, std::int64_t exponent) {
  // The leading bit of top has the weight 2^leading.
  const int length = 64 - std::countl_zero(top);
  const std::int64_t leading = exponent + length - 1;
  if (leading > 1023) return std::numeric_limits<double>::infinity();
  // Bits kept: 53, fewer below 2^-1022, down to the last place 2^-1074.
  const std::int64_t kept = leading >= -1022 ? 53 : leading + 1075;
  if (kept < 0) return 0.0;
  const int dropped = length - static_cast<int>(kept);
  if (dropped <= 0) return static_cast<double>(top) * TwoTo(exponent);  // exact
  const std::uint64_t mask = dropped == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << dropped) - 1;
  const std::uint64_t rest = top & mask;
  const std::uint64_t half = std::uint64_t{1} << (dropped - 1);
  std::uint64_t mantissa = dropped == 64 ? 0 : top >> dropped;
  if (rest > half || (rest == half && (sticky || (mantissa & 1) != 0))) ++mantissa;
  // mantissa 2^(exponent + dropped): exact, or beyond the largest double
  // (2^53 2^971), infinite.
  return static_cast<double>(mantissa) * TwoTo(exponent + dropped);
}

Fixed::Fixed(int fraction) : fraction_(fraction) {}

bool Fixed::IsZero() const {
  for (int i = 0; i < Size(); ++i) {
    if (limbs_[i] != 0) return false;
  }
  return true;
}

void Fixed::SetDouble(double value) {
  limbs_.fill(0);
  const std::uint64_t bits = BitCast<std::uint64_t>(value);
  negative_ = (bits >> 63) != 0;
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  std::uint64_t mantissa = bits & 0x000fffffffffffff;
  if (biased != 0) mantissa |= std::uint64_t{1} << 52;
  // Bit j of the mantissa weighs 2^(biased - 1075 + j) (subnormals: biased 1).
  const int first = (biased == 0 ? 1 : biased) - 1075 + 32 * fraction_;
  for (int j = 0; j < 53; ++j) {
    const int index = first + j;
    if (((mantissa >> j) & 1) != 0 && index >= 0 && index < 32 * Size()) {
      limbs_[index / 32] |= std::uint32_t{1} << (index % 32);
    }
  }
  if (IsZero()) negative_ = false;
}

void Fixed::SetPowerOfTwo(int bit) {
  limbs_.fill(0);
  negative_ = false;
  const int index = 32 * fraction_ - bit;
  limbs_[index / 32] = std::uint32_t{1} << (index % 32);
}

void Fixed::SetFraction(const std::uint32_t* limbs) {
  limbs_.fill(0);
  negative_ = false;
  for (int i = 0; i < fraction_; ++i) limbs_[fraction_ - 1 - i] = limbs[i];
}

double Fixed::Estimate() const {
  int top = Size() - 1;
  while (top > 0 && limbs_[top] == 0) --top;
  double value = 0.0;
  for (int i = top; i >= 0 && i > top - 3; --i) value = value * 0x1p32 + limbs_[i];
  // Scale the lowest limb taken, index max(top - 2, 0), by 2^(32 (index - fraction)).
  for (int i = top < 2 ? 0 : top - 2; i < fraction_; ++i) value *= 0x1p-32;
  for (int i = fraction_; i < (top < 2 ? 0 : top - 2); ++i) value *= 0x1p32;
  return negative_ ? -value : value;
}

int Fixed::CompareMagnitude(const Fixed& other) const {
  for (int i = Size() - 1; i >= 0; --i) {
    if (limbs_[i] != other.limbs_[i]) return limbs_[i] < other.limbs_[i] ? -1 : 1;
  }
  return 0;
}

void Fixed::AddMagnitude(const Fixed& other) {
  std::uint64_t carry = 0;
  for (int i = 0; i < Size(); ++i) {
    const std::uint64_t sum = std::uint64_t{limbs_[i]} + other.limbs_[i] + carry;
    limbs_[i] = static_cast<std::uint32_t>(sum);
    carry = sum >> 32;
  }
}

void Fixed::SubtractMagnitude(const Fixed& other) {
  std::uint64_t borrow = 0;
  for (int i = 0; i < Size(); ++i) {
    const std::uint64_t difference = std::uint64_t{limbs_[i]} - other.limbs_[i] - borrow;
    limbs_[i] = static_cast<std::uint32_t>(difference);
    borrow = (difference >> 63) & 1;
  }
}

void Fixed::AddSigned(const Fixed& other, bool other_negative) {
  if (negative_ == other_negative) {
    AddMagnitude(other);
  } else if (CompareMagnitude(other) >= 0) {
    SubtractMagnitude(other);
  } else {
    Fixed result = other;
    result.SubtractMagnitude(*this);
    *this = result;
    negative_ = other_negative;
  }
  if (IsZero()) negative_ = false;
}

Fixed& Fixed::operator+=(const Fixed& other) {
  AddSigned(other, other.negative_);
  return *this;
}

Fixed& Fixed::operator-=(const Fixed& other) {
  AddSigned(other, !other.negative_ && !other.IsZero());
  return *this;
}

Fixed Fixed::operator*(const Fixed& other) const {
  // The full product of the magnitudes, 2^(-64 fraction) a unit, then its
  // limbs from `fraction` on.
  std::array<std::uint32_t, 2 * (kMaxFraction + kIntegerLimbs)> product{};
  const int size = Size();
  for (int i = 0; i < size; ++i) {
    if (limbs_[i] == 0) continue;
    std::uint64_t carry = 0;
    for (int j = 0; j < size; ++j) {
      const std::uint64_t term =
          std::uint64_t{limbs_[i]} * other.limbs_[j] + product[i + j] + carry;
      product[i + j] = static_cast<std::uint32_t>(term & kLimbMask);
      carry = term >> 32;
    }
    product[i + size] = static_cast<std::uint32_t>(carry);
  }
  Fixed result(fraction_);
  for (int i = 0; i < size; ++i) result.limbs_[i] = product[i + fraction_];
  result.negative_ = negative_ != other.negative_ && !result.IsZero();
  return result;
}

Fixed& Fixed::Negate() {
  negative_ = !negative_ && !IsZero();
  return *this;
}

Fixed& Fixed::MulSmall(std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (int i = 0; i < Size(); ++i) {
    const std::uint64_t term = std::uint64_t{limbs_[i]} * factor + carry;
    limbs_[i] = static_cast<std::uint32_t>(term & kLimbMask);
    carry = term >> 32;
  }
  if (IsZero()) negative_ = false;
  return *this;
}

Fixed& Fixed::DivSmall(std::uint32_t divisor) {
  std::uint64_t remainder = 0;
  for (int i = Size() - 1; i >= 0; --i) {
    const std::uint64_t current = (remainder << 32) | limbs_[i];
    limbs_[i] = static_cast<std::uint32_t>(current / divisor);
    remainder = current % divisor;
  }
  if (IsZero()) negative_ = false;
  return *this;
}

Fixed& Fixed::ShiftRight(int bits) {
  for (int i = 0; i < Size(); ++i) {
    const std::uint64_t next = i + 1 < Size() ? limbs_[i + 1] : 0;
    limbs_[i] = static_cast<std::uint32_t>(((next << 32) | limbs_[i]) >> bits);
  }
  if (IsZero()) negative_ = false;
  return *this;
}

Fixed& Fixed::ShiftLeft(int bits) {
  for (int i = Size() - 1; i >= 0; --i) {
    const std::uint64_t previous = i > 0 ? limbs_[i - 1] : 0;
    limbs_[i] =
        static_cast<std::uint32_t>((((std::uint64_t{limbs_[i]} << 32) | previous) << bits) >> 32);
  }
  return *this;
}

double Fixed::Round(std::int64_t scale) const {
  int top = Size() - 1;
  while (top >= 0 && limbs_[top] == 0) --top;
  if (top < 0) return 0.0;
  if (top < 2) {
    std::uint64_t bits = 0;
    for (int i = top; i >= 0; --i) bits = (bits << 32) | limbs_[i];
    return RoundBits(bits, false, scale - 32 * fraction_);
  }
  // The 64 bits from the leading one, and whether any bit below them is set.
  const int shift = std::countl_zero(limbs_[top]);
  const std::uint64_t high = (std::uint64_t{limbs_[top]} << 32) | limbs_[top - 1];
  const std::uint64_t low = limbs_[top - 2];
  const std::uint64_t window = shift == 0 ? high : (high << shift) | (low >> (32 - shift));
  bool sticky = (low & ((std::uint64_t{1} << (32 - shift)) - 1)) != 0;
  for (int i = top - 3; i >= 0 && !sticky; --i) sticky = limbs_[i] != 0;
  // The window's last bit is bit 32 - shift of limb top - 2.
  return RoundBits(window, sticky, scale + 32 * (top - 2 - fraction_) + 32 - shift);
}

}  // namespace recharge::exp_log
