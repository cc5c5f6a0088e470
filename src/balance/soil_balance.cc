#include "balance/soil_balance.h"

#include <atomic>

#include "balance/bagrov_coefficient.h"
#include "balance/bagrov_solver.h"
#include "balance/hydropedotransfer.h"
#include "balance/method_choice.h"
#include "balance/simultaneity.h"
#include "runtime/fault_recovery.h"
#include "soil/water_retention.h"

namespace recharge {

namespace {

// The order a fault relies on, inlined or not (link-time optimisation): a
// step's mark is stored before its arithmetic, and its results before the
// next step's. The signal fences keep the compiler from moving a store across
// them, so a fault in a step finds the step named and the results of every
// step before it in the record.
void Begin(SoilRecord& record, SoilStep step) {
  *static_cast<volatile SoilStep*>(&record.running) = step;
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

// Shorthand: runs one step, then tells the observer.
template <typename Step>
void Run(SoilStep step, SoilRecord& record, SoilObserver& observer, Step&& compute) {
  Begin(record, step);
  compute();
  std::atomic_signal_fence(std::memory_order_seq_cst);
  observer.Finished(step, record);
}

bool RunBagrovMethod(SoilRecord& r, SoilObserver& observer) {
  double& nB = r.result.nB;
  Run(SoilStep::kCoefficient, r, observer,
      [&] { nB = EstimateBagrovCoefficient(r.water.qmax, r.water.Wmax, r.climate.Cs); });
  r.anaerobiosis = observer.SevereAnaerobiosisExpected();
  if (r.anaerobiosis) {
    Run(SoilStep::kAnaerobiosisHead, r, observer,
        [&] { ComputeAnaerobiosisHead(r.soil, r.water); });
    Run(SoilStep::kCorrection, r, observer,
        [&] { CorrectForAnaerobiosis(r.water.qmax, r.water.h_an, r.water.FC, nB); });
  }
  Run(SoilStep::kLimits, r, observer, [&] { LimitBagrovCoefficient(nB); });
  Begin(r, SoilStep::kSolver);
  const BagrovOutcome solved = SolveBagrov(nB, r.climate.P, r.climate.ETp, r.result.ETa);
  r.newton_steps = solved.newton_steps;
  if (!solved.converged) return false;
  observer.Finished(SoilStep::kSolver, r);
  return true;
}

}  // namespace

SoilOutcome RunSoilBalance(const SoilInputs& in, SoilObserver& observer, SoilRecord& r) {
  r.climate = in.climate;
  if (in.months) {
    Run(SoilStep::kSimultaneity, r, observer, [&] {
      SimultaneityAccumulator simultaneity;
      for (int month = 0; month < 6; ++month) {
        simultaneity.AddMonth(in.months->rain[month], in.months->etp[month]);
      }
      r.climate.Cs = simultaneity.Cs();
    });
  }
  Run(SoilStep::kParameters, r, observer, [&] {
    r.soil = in.soil;
    r.soil.m = MualemExponent(r.soil.n);
  });
  Run(SoilStep::kStorage, r, observer, [&] { ComputeStorage(r.soil, in.site, r.water); });
  Run(SoilStep::kQmax, r, observer, [&] { EstimateQmax(in.site, r.soil, r.water); });
  Run(SoilStep::kMethodChoice, r, observer, [&] {
    r.method = UsesBagrovMethod(r.climate, r.water.qmax) ? BalanceMethod::kBagrov
                                                         : BalanceMethod::kHydropedotransfer;
  });
  if (r.method == BalanceMethod::kBagrov) {
    if (!RunBagrovMethod(r, observer)) return SoilOutcome::kNoConvergence;
  } else {
    Run(SoilStep::kHydropedotransfer, r, observer, [&] {
      Hydropedotransfer(r.climate, r.water.qmax, r.water.Wmax, r.result.g, r.result.ETa);
    });
  }
  Run(SoilStep::kRecharge, r, observer,
      [&] { r.result.R = GroundwaterRecharge(r.climate.P, r.result.ETa); });
  return SoilOutcome::kDone;
}

SoilRun RunSoilBalanceRecovering(const SoilInputs& inputs, SoilObserver& observer,
                                 SoilRecord& record) {
  SoilOutcome outcome = SoilOutcome::kFault;
  auto pass = [&] { outcome = RunSoilBalance(inputs, observer, record); };
  const RuntimeError fault = RecoverFaults(pass);
  if (fault == RuntimeError::kNone) return {outcome, fault, record.running};
  return {SoilOutcome::kFault, fault, record.running};
}

}  // namespace recharge
