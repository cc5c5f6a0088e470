// Time per SolveBagrov call on the Newton path (nB < 9.5, P < 2 ETp), over a
// grid of coefficients and humidities, with the mean number of convergence
// tests per solve as a counter.
#include <benchmark/benchmark.h>

#include <vector>

#include "balance/bagrov_solver.h"

namespace recharge {
namespace {

struct Problem {
  double nB, P, ETp;
};

// nB 0.5 to 9.3 in steps of 0.4, P/ETp 0.1 to 1.7 in steps of 0.2, ETp 60 cm.
// Every one of them converges (towards P/ETp = 1.9 large coefficients do not).
std::vector<Problem> NewtonPathGrid() {
  std::vector<Problem> grid;
  const double ETp = 60.0;
  for (int i = 0; i <= 22; ++i) {
    for (int j = 0; j <= 8; ++j) {
      grid.push_back({0.5 + 0.4 * i, (0.1 + 0.2 * j) * ETp, ETp});
    }
  }
  return grid;
}

void BM_SolveBagrov(benchmark::State& state) {
  const std::vector<Problem> grid = NewtonPathGrid();
  long solves = 0;
  long steps = 0;
  for (auto _ : state) {
    for (const Problem& problem : grid) {
      double ETa = 0.0;
      const BagrovOutcome outcome = SolveBagrov(problem.nB, problem.P, problem.ETp, ETa);
      benchmark::DoNotOptimize(ETa);
      steps += outcome.newton_steps;
    }
    solves += static_cast<long>(grid.size());
  }
  state.SetItemsProcessed(solves);
  state.counters["solve_time"] = benchmark::Counter(
      static_cast<double>(solves), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["newton_steps"] =
      benchmark::Counter(static_cast<double>(steps) / static_cast<double>(solves));
}
BENCHMARK(BM_SolveBagrov)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace recharge

BENCHMARK_MAIN();
