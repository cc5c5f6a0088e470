// The model's Bagrov solver (bagrov_solver.h) on every cell of a grid of
// coefficients, precipitations and potential evapotranspirations, its faults
// as values: ETa of each cell in cm/a, or NaN where an input is NaN, where
// the Newton iteration does not converge, or where a step faults (ETp = 0,
// P/ETp < 0).
//
//   nB 2, P 60, ETp 50  -> about 41.68 (the closed form 50 tanh(1.2))
//   nB 2, P 120, ETp 50 -> 49.9 (the shortcut 0.998 ETp)
//   nB 2, P 60, ETp 0   -> NaN (a division by zero in the first guess)
#pragma once

#include <functional>
#include <span>

#include "grid/strided_array.h"
#include "runtime/worker_pool.h"

namespace recharge::python {

struct BagrovGrid {
  std::span<const std::size_t> shape;  // at most kMaxAxes axes
  grid::StridedArray nB, P, ETp;       // each of `shape`
};

// Writes ETa for every cell, in C order. stop() is asked between blocks of
// cells (grid_blocks.h: ForEachCell); false when it said yes, ETa then only
// partly written.
bool SolveBagrovGrid(const BagrovGrid& grid, WorkerPool& pool, double* ETa,
                     const std::function<bool()>& stop);

}  // namespace recharge::python
