#include "runtime/math_functions.h"

#include <cfenv>

#include "runtime/fault_recovery.h"

namespace recharge {

namespace {

using Function = double (*)(double, double);

// The faults of one function: argument outside the domain, singularity,
// result overflow.
struct Failures {
  RuntimeError domain, singularity, overflow;
};

constexpr Failures kPowFailures = {RuntimeError::kPowDomain, RuntimeError::kPowSingularity,
                                   RuntimeError::kPowOverflow};
constexpr Failures kExpFailures = {RuntimeError::kExpDomain, RuntimeError::kExpSingularity,
                                   RuntimeError::kExpOverflow};
constexpr Failures kSqrtFailures = {RuntimeError::kSqrtDomain, RuntimeError::kSqrtSingularity,
                                    RuntimeError::kSqrtOverflow};

// Runs `f` with the traps held and every exception flag clear, then turns a
// raised invalid, divide-by-zero or overflow flag into the function's fault.
// The volatile copies keep the compiler from moving the arithmetic out of the
// window in which the traps are held.
double Checked(const Failures& failures, Function f, double a, double b) {
  volatile double x = a;
  volatile double y = b;
  std::fenv_t traps;
  std::feholdexcept(&traps);
  volatile double result = f(x, y);
  const int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  std::fesetenv(&traps);
  if (raised == 0) return result;
  if (raised & FE_INVALID) RaiseFault(failures.domain);
  if (raised & FE_DIVBYZERO) RaiseFault(failures.singularity);
  RaiseFault(failures.overflow);
}

// Holding and restoring the traps costs far more than the functions
// themselves. Past the inline test, a positive finite base whose power stays
// within 2^-1000 to 2^1000 cannot fail either.
bool PowIsSafe(double base, double exponent) {
  if (base == 0.0) return exponent > 0.0;
  if (!(base > 0.0) || !std::isfinite(base) || !(std::fabs(exponent) < 1024.0)) return false;
  return std::fabs(exponent) * (std::abs(std::ilogb(base)) + 1) < 1000.0;
}

}  // namespace

double CheckedPow(double base, double exponent) {
  if (PowIsSafe(base, exponent)) return std::pow(base, exponent);
  return Checked(
      kPowFailures, [](double a, double b) { return std::pow(a, b); }, base, exponent);
}

double CheckedExp(double x) {
  return Checked(
      kExpFailures, [](double a, double) { return std::exp(a); }, x, 0.0);
}

double CheckedSqrt(double x) {
  return Checked(
      kSqrtFailures, [](double a, double) { return std::sqrt(a); }, x, 0.0);
}

}  // namespace recharge
