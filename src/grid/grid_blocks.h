// Every cell of a grid, shared out in blocks of consecutive cells among the
// threads of a pool: one fetch-and-add and one call for each block of
// kCellsPerBlock cells, which vanish beside a block's soils. Each cell is
// visited once, on whichever thread takes its block, with its C-order number
// and its multi-index.
//
// The run can be stopped (Ctrl-C, Esc): before each of its blocks, the
// calling thread asks stop() once kStopInterval has passed since the run
// began or since it last asked, so a run shorter than that never asks, and
// one that waits in stop() (for Python's GIL, held by a busy Python thread)
// does so at most once an interval. Once stop() says yes, no thread starts another
// block; each finishes the one it is on, and the run ends within about one
// block's time (256 Newton iterations of some 60 us: about 15 ms).
//
//   ForEachCell(shape {2, 300}, pool, fn, stop)  -> 3 blocks: cells 0-255,
//   256-511, 512-599; fn(257, {0, 257}), fn(300, {1, 0}), ...; true, or
//   false with some blocks not run when stop() said yes
#pragma once

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <chrono>
#include <cstddef>
#include <functional>
#include <span>
#include <thread>

#include "grid/strided_array.h"
#include "runtime/worker_pool.h"

namespace recharge::grid {

inline constexpr std::size_t kCellsPerBlock = 256;

// The IEEE default floating-point environment for the model's arithmetic
// while it lives (round-to-nearest, no trap), whatever the thread had: a
// caller's fesetround or feenableexcept. The thread's own environment, its
// exception flags included, is given back.
class DefaultFloatingPoint {
 public:
  DefaultFloatingPoint() {
    std::fegetenv(&caller_);
    std::fesetenv(FE_DFL_ENV);
  }
  ~DefaultFloatingPoint() { std::fesetenv(&caller_); }
  DefaultFloatingPoint(const DefaultFloatingPoint&) = delete;
  DefaultFloatingPoint& operator=(const DefaultFloatingPoint&) = delete;

 private:
  std::fenv_t caller_;
};

// How long a run goes between two asks of stop() at the most.
inline constexpr std::chrono::milliseconds kStopInterval{100};

// The blocks of a grid of `shape`: 0 for a grid of no cells.
inline std::size_t BlockCount(std::span<const std::size_t> shape) {
  return (CellCount(shape) + kCellsPerBlock - 1) / kCellsPerBlock;
}

// fn(std::size_t cell, std::span<const std::size_t> index); it must not
// throw (worker_pool.h), nor must stop(), which runs on the calling thread
// alone and may wait (for the GIL). True when every cell was visited, false
// when stop() said yes: which cells were visited is then not known.
template <typename Fn>
bool ForEachCell(std::span<const std::size_t> shape, WorkerPool& pool, const Fn& fn,
                 const std::function<bool()>& stop) {
  const std::size_t cells = CellCount(shape);
  using Clock = std::chrono::steady_clock;
  const std::thread::id caller = std::this_thread::get_id();
  Clock::time_point next_ask = Clock::now() + kStopInterval;  // the calling thread's alone
  std::atomic<bool> stopped{false};
  pool.Run(BlockCount(shape), [&](std::size_t block) {
    if (stopped.load(std::memory_order_relaxed)) return;
    const DefaultFloatingPoint environment;
    if (std::this_thread::get_id() == caller && Clock::now() >= next_ask) {
      if (stop()) {
        stopped.store(true, std::memory_order_relaxed);
        return;
      }
      next_ask = Clock::now() + kStopInterval;
    }
    const std::size_t begin = block * kCellsPerBlock;
    const std::size_t end = std::min(begin + kCellsPerBlock, cells);
    GridIndex index(shape, begin);
    for (std::size_t cell = begin; cell < end; ++cell, index.Next()) fn(cell, index.index());
  });
  return !stopped.load(std::memory_order_relaxed);
}

}  // namespace recharge::grid
