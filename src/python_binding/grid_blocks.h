// Every cell of a grid, shared out in blocks of consecutive cells among the
// threads of a pool: one fetch-and-add and one call for each block of
// kCellsPerBlock cells, which vanish beside a block's soils. Each cell is
// visited once, on whichever thread takes its block, with its C-order number
// and its multi-index.
//
//   ForEachCell(shape {2, 300}, pool, fn)  -> 3 blocks: cells 0-255, 256-511,
//   512-599; fn(257, {0, 257}), fn(300, {1, 0}), ...
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>

#include "python_binding/strided_array.h"
#include "runtime/worker_pool.h"

namespace recharge::python {

inline constexpr std::size_t kCellsPerBlock = 256;

// The blocks of a grid of `shape`: 0 for a grid of no cells.
inline std::size_t BlockCount(std::span<const std::size_t> shape) {
  return (CellCount(shape) + kCellsPerBlock - 1) / kCellsPerBlock;
}

// fn(std::size_t cell, std::span<const std::size_t> index); it must not
// throw (worker_pool.h).
template <typename Fn>
void ForEachCell(std::span<const std::size_t> shape, WorkerPool& pool, const Fn& fn) {
  const std::size_t cells = CellCount(shape);
  pool.Run(BlockCount(shape), [&](std::size_t block) {
    const std::size_t begin = block * kCellsPerBlock;
    const std::size_t end = std::min(begin + kCellsPerBlock, cells);
    GridIndex index(shape, begin);
    for (std::size_t cell = begin; cell < end; ++cell, index.Next()) fn(cell, index.index());
  });
}

}  // namespace recharge::python
