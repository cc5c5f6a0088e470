// The mathematical functions of the model, each wrapped so that a failure is
// reported by name ("pow", "exp", "sqrt") and ends the run:
//   Pow(x, y) with x < 0 and y not an integer, Sqrt(x) with x < 0: DOMAIN (M6201)
//   Pow(0, y) with y < 0: SING (M6202)
//   a result of Pow or Exp beyond the double range: OVERFLOW (M6203)
// A result that underflows is returned as it is, silently. The functions run
// with the floating-point traps held, so a failure inside them is reported
// once, here, and never also as a trap.
#pragma once

namespace recharge {

double Pow(double base, double exponent);
double Exp(double x);
double Sqrt(double x);

}  // namespace recharge
