// The Bagrov solver's arithmetic with nothing around it: the same operations
// in the same order as balance/bagrov_solver.cc, with std::pow, std::sqrt and
// std::abs of the C library called directly and no check of any argument.
// It is the floor against which the whole program's cost is measured; the
// benchmark checks that it gives the same ETa but for the last bits, where
// the C library's pow is not correctly rounded.
#pragma once

namespace recharge::bench {

// ETa of a soil on the Newton path (nB < 9.5, P < 2 ETp) that converges.
double BareSolveBagrov(double nB, double P, double ETp);

}  // namespace recharge::bench
