// Time per SolveBagrov call on the Newton path (nB < 9.5, P < 2 ETp), with the
// mean number of convergence tests per solve as a counter: over a grid of
// coefficients and humidities, and, given the description of a batch of soils
// (written by bench/make_batch.py) as the argument, over exactly the
// Newton-path soils of that batch, in wall-clock time like the batch run.
// For the batch it also times the bare solves of the same soils
// (bare_bagrov.h), the floor of what the whole program can cost.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "balance/bagrov_solver.h"
#include "balance/soil_balance.h"
#include "bare_bagrov.h"
#include "console/number_conversion.h"
#include "soil/soil_class_table.h"

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

void BM_SolveBagrov(benchmark::State& state, const std::vector<Problem>& problems) {
  long solves = 0;
  long steps = 0;
  for (auto _ : state) {
    for (const Problem& problem : problems) {
      double ETa = 0.0;
      Arithmetic ops;
      const BagrovOutcome outcome = SolveBagrov(ops, problem.nB, problem.P, problem.ETp, ETa);
      benchmark::DoNotOptimize(ETa);
      steps += outcome.newton_steps;
    }
    solves += static_cast<long>(problems.size());
  }
  state.SetItemsProcessed(solves);
  state.counters["solve_time"] = benchmark::Counter(
      static_cast<double>(solves), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["newton_steps"] =
      benchmark::Counter(static_cast<double>(steps) / static_cast<double>(solves));
}

BENCHMARK_CAPTURE(BM_SolveBagrov, grid, NewtonPathGrid())->Unit(benchmark::kMillisecond);

[[noreturn]] void Fail(const std::string& what) {
  std::cerr << "bagrov_solver_benchmark: " << what << '\n';
  std::exit(1);
}

// Reads the next number of `line` with the program's own conversion, so that
// it is the very double the program reads from the same text.
template <typename Number>
Number Next(std::istringstream& line) {
  std::string token;
  line >> token;
  Number value{};
  RuntimeError error;
  if constexpr (std::is_same_v<Number, double>) {
    error = ConvertReal(token, value);
  } else {
    error = ConvertInteger(token, value);
  }
  if (token.empty() || error != RuntimeError::kNone) Fail("not a number in: " + line.str());
  return value;
}

void BM_BareSolve(benchmark::State& state, const std::vector<Problem>& problems) {
  long solves = 0;
  for (auto _ : state) {
    for (const Problem& problem : problems) {
      double ETa = bench::BareSolveBagrov(problem.nB, problem.P, problem.ETp);
      benchmark::DoNotOptimize(ETa);
    }
    solves += static_cast<long>(problems.size());
  }
  state.SetItemsProcessed(solves);
  state.counters["solve_time"] = benchmark::Counter(
      static_cast<double>(solves), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

struct Batch {
  std::vector<Problem> newton;  // (nB, P, ETp) of every Newton-path soil
  int shortcut = 0;
  int hydropedotransfer = 0;
};

// Answers the anaerobiosis question as the batch description does.
class BatchSoil : public SoilObserver {
 public:
  explicit BatchSoil(bool anaerobiosis) : anaerobiosis_(anaerobiosis) {}
  void Finished(SoilStep, const SoilRecord&) override {}
  bool SevereAnaerobiosisExpected() override { return anaerobiosis_; }

 private:
  bool anaerobiosis_;
};

// Takes every soil of a batch description through the model's one pass, as
// the dialogue takes it.
Batch ReadBatch(const char* path) {
  std::ifstream file(path);
  if (!file) Fail(std::string("cannot read ") + path);
  Batch batch;
  SoilInputs soil{};
  std::string text;
  while (std::getline(file, text)) {
    std::istringstream line(text);
    std::string kind, source;
    line >> kind;
    if (kind == "case") {
      soil.climate.P = Next<double>(line);
      soil.climate.ETp = Next<double>(line);
      line >> source;
      soil.months.reset();
      if (source == "cs") {
        soil.climate.Cs = Next<double>(line);
      } else {
        GrowingSeason months;
        for (int month = 0; month < 6; ++month) {
          months.rain[month] = Next<double>(line);
          months.etp[month] = Next<double>(line);
        }
        soil.months = months;
      }
      continue;
    }
    soil.site.zr = Next<double>(line);
    soil.site.zgw = Next<double>(line);
    const std::int32_t soil_class = Next<std::int32_t>(line);
    const std::int32_t anaerobiosis = Next<std::int32_t>(line);
    if (soil_class == 0) {
      for (double* parameter : {&soil.soil.theta_r, &soil.soil.theta_s, &soil.soil.alpha,
                                &soil.soil.n, &soil.soil.p1, &soil.soil.p2}) {
        *parameter = Next<double>(line);
      }
    } else {
      const SoilClassRow* row = SoilClass(soil_class);
      if (row == nullptr) Fail("no such soil class: " + text);
      soil.soil = ParametersOf(*row);
    }
    BatchSoil observer(anaerobiosis == 1);
    SoilRecord record{};
    if (RunSoilBalance(soil, observer, record).status != SoilStatus::kOk) {
      Fail("no convergence or a fault: " + text);
    }
    if (record.method == BalanceMethod::kHydropedotransfer) {
      ++batch.hydropedotransfer;
    } else if (record.newton_steps == 0) {  // the solver itself tells which soils iterate
      ++batch.shortcut;
    } else {
      batch.newton.push_back({record.nB, soil.climate.P, soil.climate.ETp});
      // The C library's pow is not correctly rounded: last bits may differ.
      const double bare = bench::BareSolveBagrov(record.nB, soil.climate.P, soil.climate.ETp);
      if (std::fabs(bare - record.ETa) > 1e-12 * record.ETa) {
        Fail("the bare solve differs from the program's: " + text);
      }
    }
  }
  return batch;
}

}  // namespace
}  // namespace recharge

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 2) recharge::Fail("usage: bagrov_solver_benchmark [options] [batch description]");
  if (argc == 2) {
    const recharge::Batch batch = recharge::ReadBatch(argv[1]);
    benchmark::AddCustomContext("newton_soils", std::to_string(batch.newton.size()));
    benchmark::AddCustomContext("shortcut_soils", std::to_string(batch.shortcut));
    benchmark::AddCustomContext("hydropedotransfer_soils", std::to_string(batch.hydropedotransfer));
    benchmark::RegisterBenchmark("BM_SolveBagrov/batch", recharge::BM_SolveBagrov, batch.newton)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_BareSolve/batch", recharge::BM_BareSolve, batch.newton)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
