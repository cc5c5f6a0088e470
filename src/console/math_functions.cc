#include "console/math_functions.h"

#include <cfenv>
#include <cmath>
#include <string_view>

#include "console/termination.h"

namespace recharge {

namespace {

using Function = double (*)(double, double);

// Runs `f` with the traps held and every exception flag clear, then turns a
// raised invalid, divide-by-zero or overflow flag into the function's report.
// The volatile copies keep the compiler from moving the arithmetic out of the
// window in which the traps are held.
double Checked(std::string_view name, Function f, double a, double b) {
  volatile double x = a;
  volatile double y = b;
  std::fenv_t traps;
  std::feholdexcept(&traps);
  volatile double result = f(x, y);
  const int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  std::fesetenv(&traps);
  if (raised == 0) return result;
  std::string_view word = ": OVERFLOW error";
  int number = kMathResultOverflow;
  if (raised & FE_INVALID) {
    word = ": DOMAIN error";
    number = kMathDomain;
  } else if (raised & FE_DIVBYZERO) {
    word = ": SING error";
    number = kMathSingularity;
  }
  char message[32];
  std::size_t length = 0;
  for (std::string_view part : {name, word}) {
    for (char c : part) message[length++] = c;
  }
  ReportMathError(number, std::string_view(message, length));
}

// Holding and restoring the traps costs far more than the functions
// themselves, and the solver calls Pow thousands of times per soil. Arguments
// for which no failure is possible therefore go straight to the function,
// with the traps armed (only underflow and inexact, both masked, can arise):
// for Pow zero to a positive power, or a positive finite base whose power
// stays within 2^-1000 to 2^1000; for Exp an argument of at most 700 in
// magnitude; for Sqrt a non-negative argument.
bool PowIsSafe(double base, double exponent) {
  if (base == 0.0) return exponent > 0.0;  // +0, as at the lower end of every integral
  if (!(base > 0.0) || !std::isfinite(base) || !(std::fabs(exponent) < 1024.0)) return false;
  return std::fabs(exponent) * (std::abs(std::ilogb(base)) + 1) < 1000.0;
}

}  // namespace

double Pow(double base, double exponent) {
  if (PowIsSafe(base, exponent)) return std::pow(base, exponent);
  return Checked(
      "pow", [](double a, double b) { return std::pow(a, b); }, base, exponent);
}

double Exp(double x) {
  if (std::fabs(x) < 700.0) return std::exp(x);
  return Checked(
      "exp", [](double a, double) { return std::exp(a); }, x, 0.0);
}

double Sqrt(double x) {
  if (x >= 0.0) return std::sqrt(x);
  return Checked(
      "sqrt", [](double a, double) { return std::sqrt(a); }, x, 0.0);
}

}  // namespace recharge
