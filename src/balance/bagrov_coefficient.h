// The Bagrov coefficient nB of a grass-covered soil, from capillary rise,
// plant-available storage and the coefficient of simultaneity:
//   nB = 1.791 * exp(2.5884 * qmax) + 0.18002 * Wmax^1.0879 + Cs,
// lowered where severe anaerobiosis is expected and kept within 0.5 to 10.
//
// Example, sand Ss with zr 60 cm, zgw 200 cm (qmax 0.008554 cm/d, Wmax
// 7.367 cm, FC 0.1435) and Cs 0.3: nB = 3.712; with the anaerobiosis
// correction (h_an 2.905 cm) 2.000.
#pragma once

#include "runtime/checked_arithmetic.h"

namespace recharge {

// qmax in cm/d, Wmax in cm; a negative Wmax is a power-function fault in `ops`.
double EstimateBagrovCoefficient(Arithmetic& ops, const double& qmax, const double& Wmax,
                                 const double& Cs);

// nB -= 0.05794 * qmax^0.5354 * (h_an + 0.27405) + 11.832 * FC, in two
// subtractions. Never raises nB for non-negative qmax, h_an and FC.
void CorrectForAnaerobiosis(Arithmetic& ops, const double& qmax, const double& h_an,
                            const double& FC, double& nB);

// Upper limit first, so that a value that is not a number becomes 10; then
// anything at or below 0.5 becomes 0.5.
void LimitBagrovCoefficient(Arithmetic& ops, double& nB);

}  // namespace recharge
