// The Bagrov relation between annual precipitation P, potential
// evapotranspiration ETp and actual evapotranspiration ETa (all cm/a):
//   P = integral from 0 to ETa of dE / (1 - (E/ETp)^nB),
// solved for ETa by half Newton steps on a 200-interval Simpson integral.
//
// For nB = 2 the relation has the closed solution ETa = ETp * tanh(P/ETp):
// nB 2, P 60, ETp 50 gives ETa = 41.68 cm. For nB = 1 it is
// ETa = ETp * (1 - exp(-P/ETp)).
#pragma once

#include "runtime/checked_arithmetic.h"

namespace recharge {

// 1 / (1 - r^nB) with r = E/ETp capped at 0.9999 from above, so the integrand
// stays finite at and beyond E = ETp. 1 at E = 0.
double BagrovIntegrand(Arithmetic& ops, const double& E, const double& ETp, const double& nB);

// Integral of BagrovIntegrand from 0 to E by the composite Simpson rule with
// 200 intervals; costs 202 integrand evaluations. Where no operation can
// fault (E from 0 to 1e290, ETp at least 1e-8, nB from 0.5 to 10: every
// ratio finite and not negative, every power in [0, 1], every denominator at
// least 5e-5, every sum far from the double range) it is computed unchecked.
void BagrovIntegral(Arithmetic& ops, const double& ETp, const double& E, const double& nB,
                    double& result);

struct BagrovOutcome {
  bool converged;
  int newton_steps;  // convergence tests made; 0 on the shortcut, 501 when not converged
};

// Writes ETa, at most ETp and at most P. Very humid sites (P >= 2 * ETp) and
// very large coefficients (nB >= 9.5) take the shortcut ETa = 0.998 * ETp
// without iterating. Otherwise the Newton iteration starts from the regression
// guess ETa/ETp = 0.6198 * sqrt(P/ETp) + 0.0495 * nB - 0.00406, kept within
// 0.3 to 0.99, and stops when the integral at the current estimate is within
// 0.0001 cm of P; the estimate after one further half step is taken. When the
// 501st test fails, ETa is left unwritten and the outcome says so.
// ETp = 0 and P/ETp < 0 fault in the guess (division, square root); a fault
// is in `ops`, and the outcome then means nothing.
BagrovOutcome SolveBagrov(Arithmetic& ops, const double& nB, const double& P, const double& ETp,
                          double& ETa);

}  // namespace recharge
