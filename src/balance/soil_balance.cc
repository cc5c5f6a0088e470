#include "balance/soil_balance.h"

#include <optional>

#include "balance/bagrov_coefficient.h"
#include "balance/bagrov_solver.h"
#include "balance/hydropedotransfer.h"
#include "balance/method_choice.h"
#include "balance/simultaneity.h"
#include "soil/water_retention.h"

namespace recharge {

namespace {

// One pass through the steps, each checked for a fault before the observer
// hears that it finished.
class Pass {
 public:
  Pass(SoilObserver& observer, SoilRecord& record) : observer_(observer), r_(record) {}

  SoilRun Run(const SoilInputs& in) {
    r_.climate = in.climate;
    if (in.months) {
      if (!Step(SoilStep::kSimultaneity, [&] {
            SimultaneityAccumulator simultaneity;
            for (int month = 0; month < kMonths; ++month) {
              simultaneity.AddMonth(ops_, in.months->rain[month], in.months->etp[month]);
            }
            r_.climate.Cs = simultaneity.Cs(ops_);
          })) {
        return Fault();
      }
    }
    if (!Step(SoilStep::kParameters,
              [&] {
                r_.soil = in.soil;
                r_.soil.m = MualemExponent(ops_, r_.soil.n);
              }) ||
        !Step(SoilStep::kStorage, [&] { ComputeStorage(ops_, r_.soil, in.site, r_.water); }) ||
        !Step(SoilStep::kQmax, [&] { EstimateQmax(ops_, in.site, r_.soil, r_.water); }) ||
        !Step(SoilStep::kMethodChoice, [&] {
          r_.method = UsesBagrovMethod(ops_, r_.climate, r_.water.qmax)
                          ? BalanceMethod::kBagrov
                          : BalanceMethod::kHydropedotransfer;
        })) {
      return Fault();
    }
    if (r_.method == BalanceMethod::kBagrov) {
      const std::optional<SoilRun> ended = BagrovMethod();
      if (ended) return *ended;
    } else if (!Step(SoilStep::kHydropedotransfer, [&] {
                 Hydropedotransfer(ops_, r_.climate, r_.water.qmax, r_.water.Wmax, r_.g, r_.ETa);
               })) {
      return Fault();
    }
    if (!Step(SoilStep::kRecharge, [&] { r_.R = ops_.Sub(r_.climate.P, r_.ETa); })) {
      return Fault();
    }
    return {SoilStatus::kOk, RuntimeError::kNone, r_.running};
  }

 private:
  // Runs one step; false when it faulted.
  template <typename Compute>
  bool Step(SoilStep step, Compute&& compute) {
    r_.running = step;
    compute();
    if (!ops_.ok()) return false;
    observer_.Finished(step, r_);
    return true;
  }

  SoilRun Fault() const { return {SoilStatus::kFault, ops_.fault(), r_.running}; }

  // The Bagrov path up to ETa; the end of the pass when it ended there.
  std::optional<SoilRun> BagrovMethod() {
    double& nB = r_.nB;
    if (!Step(SoilStep::kCoefficient, [&] {
          nB = EstimateBagrovCoefficient(ops_, r_.water.qmax, r_.water.Wmax, r_.climate.Cs);
        })) {
      return Fault();
    }
    r_.anaerobiosis = observer_.SevereAnaerobiosisExpected();
    if (r_.anaerobiosis && (!Step(SoilStep::kAnaerobiosisHead, [&] {
          ComputeAnaerobiosisHead(ops_, r_.soil, r_.water);
        }) || !Step(SoilStep::kCorrection, [&] {
          CorrectForAnaerobiosis(ops_, r_.water.qmax, r_.water.h_an, r_.water.FC, nB);
        }))) {
      return Fault();
    }
    if (!Step(SoilStep::kLimits, [&] { LimitBagrovCoefficient(ops_, nB); })) return Fault();
    r_.running = SoilStep::kSolver;
    const BagrovOutcome solved = SolveBagrov(ops_, nB, r_.climate.P, r_.climate.ETp, r_.ETa);
    r_.newton_steps = solved.newton_steps;
    if (!ops_.ok()) return Fault();
    if (!solved.converged)
      return SoilRun{SoilStatus::kNoConvergence, RuntimeError::kNone, r_.running};
    observer_.Finished(SoilStep::kSolver, r_);
    return std::nullopt;
  }

  Arithmetic ops_;
  SoilObserver& observer_;
  SoilRecord& r_;
};

}  // namespace

SoilRun RunSoilBalance(const SoilInputs& inputs, SoilObserver& observer, SoilRecord& record) {
  return Pass(observer, record).Run(inputs);
}

}  // namespace recharge
