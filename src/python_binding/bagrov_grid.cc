#include "python_binding/bagrov_grid.h"

#include <cmath>
#include <limits>

#include "balance/bagrov_solver.h"
#include "grid/grid_blocks.h"

namespace recharge::python {

namespace {

double SolveCell(double nB, double P, double ETp) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  if (std::isnan(nB) || std::isnan(P) || std::isnan(ETp)) return kNaN;
  double ETa = kNaN;
  Arithmetic ops;
  const bool converged = SolveBagrov(ops, nB, P, ETp, ETa).converged;
  return ops.ok() && converged ? ETa : kNaN;
}

}  // namespace

bool SolveBagrovGrid(const BagrovGrid& grid, WorkerPool& pool, double* ETa,
                     const std::function<bool()>& stop) {
  return grid::ForEachCell(
      grid.shape, pool,
      [&](std::size_t cell, std::span<const std::size_t> index) {
        ETa[cell] = SolveCell(grid.nB.At(index), grid.P.At(index), grid.ETp.At(index));
      },
      stop);
}

}  // namespace recharge::python
