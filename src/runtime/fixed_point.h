// Signed fixed-point numbers of a few hundred to a thousand bits, for the
// accurate phase of exp and pow: two 32-bit limbs before the binary point
// and `fraction` limbs after it, in 32-bit limbs multiplied in 64 bits, so
// that every platform computes the same bits. Every operation truncates
// towards zero below its last bit: its error is below one unit of the last
// place, 2^(-32 fraction).
//
//   Fixed a(8);          // 256 bits after the point
//   a.SetDouble(0.75);
//   Fixed b = a * a;     // 0.5625 exactly
//   b.MulSmall(3);       // 1.6875
#pragma once

#include <array>
#include <cstdint>

namespace recharge::exp_log {

class Fixed {
 public:
  static constexpr int kIntegerLimbs = 2;
  static constexpr int kMaxFraction = 40;

  explicit Fixed(int fraction);

  int fraction() const { return fraction_; }
  bool negative() const { return negative_; }
  bool IsZero() const;

  // The double's value, truncated below the last place; |value| < 2^64.
  void SetDouble(double value);
  // 2^-bit, for 0 <= bit <= 32 fraction.
  void SetPowerOfTwo(int bit);
  // The first `fraction` limbs after the point of a constant that lies in
  // [0, 1), most significant limb first.
  void SetFraction(const std::uint32_t* limbs);
  // The value rounded to a double, for estimates (not correctly rounded).
  double Estimate() const;

  Fixed& operator+=(const Fixed& other);
  Fixed& operator-=(const Fixed& other);
  Fixed operator*(const Fixed& other) const;
  Fixed& Negate();
  Fixed& MulSmall(std::uint32_t factor);
  Fixed& DivSmall(std::uint32_t divisor);
  Fixed& ShiftRight(int bits);  // bits < 32
  Fixed& ShiftLeft(int bits);   // bits < 32, the integer part staying below 2^64

  // The double nearest to |this| * 2^scale, ties to even: subnormal, zero or
  // infinite as the value falls.
  double Round(std::int64_t scale) const;

 private:
  int Size() const { return fraction_ + kIntegerLimbs; }
  // Magnitudes, least significant limb first.
  int CompareMagnitude(const Fixed& other) const;
  void AddMagnitude(const Fixed& other);
  void SubtractMagnitude(const Fixed& other);  // |this| >= |other|
  void AddSigned(const Fixed& other, bool other_negative);

  int fraction_;
  bool negative_ = false;
  std::array<std::uint32_t, kMaxFraction + kIntegerLimbs> limbs_{};
};

// The double nearest to (top + a bit more if sticky) * 2^exponent, ties to
// even, for top > 0: subnormal, zero or infinite as the value falls.
double RoundBits(std::uint64_t top, bool sticky, std::int64_t exponent);

}  // namespace recharge::exp_log
