// Van Genuchten retention curve with the Mualem restriction m = 1 - 1/n:
//   theta(h) = theta_r + (theta_s - theta_r) / (1 + (alpha * h)^n)^(1 - 1/n)
// with h the suction head in cm (positive) and theta in cm3/cm3.
//
// Example, sand Ss (theta_r 0, theta_s 0.3879, alpha 0.26437 1/cm, n 1.35154):
// theta(63) = 0.1435 (field capacity), theta(15800) = 0.0207 (wilting point).
#pragma once

#include "runtime/checked_arithmetic.h"

namespace recharge {

// The Mualem exponent m = 1 - 1/n of a parameter set, derived whenever one
// is taken; n = 0 is a division by zero.
double MualemExponent(Arithmetic& ops, const double& n);

// Writes the water content at head h to theta. The exponent 1 - 1/n is taken
// from n on every call, never from a stored m.
void WaterContentAtHead(Arithmetic& ops, const double& theta_r, const double& theta_s,
                        const double& alpha, const double& n, const double& h, double& theta);

}  // namespace recharge
