// Many bases to one power: out[i] = CorrectPow(x[i], y), the same bits,
// faster. The fast phase runs over all of them first, branch-free, so that
// the compiler keeps several in the processor's vector lanes at once; the
// few it does not decide go through CorrectPow one by one. The result does
// not depend on the vector width: every lane computes the same IEEE
// operations. `x` and `out` do not overlap.
//
//   double r[3] = {0.25, 0.5, 1.0}, p[3];
//   PowBatch(r, 2.0, p, 3);   // p = {0.0625, 0.25, 1.0}
#pragma once

#include <cstddef>

namespace recharge {

void PowBatch(const double* x, double y, double* out, std::size_t count);

}  // namespace recharge
