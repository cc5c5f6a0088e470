// The water balance of one soil: every model step from its inputs to the
// groundwater recharge, in the one order that every caller shares.
//
//   [Cs from the months April to September, when they are given]
//   m = 1 - 1/n -> FC, WP, Wmax -> qmax -> method choice
//   Bagrov:   nB -> [anaerobiosis? h_an -> correction] -> limits -> solver
//   regression: g and ETa
//   -> R = P - ETa
//
// What goes in is a SoilInputs, what the steps have given is the SoilRecord,
// and how the pass ended is its SoilRun: done, no convergence, or a fault
// with its report and step. An observer hears of each finished step, so that
// the dialogue prints each record at its moment, and it answers the
// anaerobiosis question when the Bagrov path reaches it.
//
// Example, sand Ss (class 1) at zr 60 cm, zgw 200 cm under P 60, ETp 55 and
// Cs 0.3, no anaerobiosis: FC 0.1435, WP 0.0207, Wmax 7.367 cm, qmax
// 0.008554 cm/d, Bagrov method, nB 3.712, ETa 48.79 cm, R 11.21 cm.
#pragma once

#include <optional>

#include "balance/climate_inputs.h"
#include "runtime/runtime_error.h"
#include "soil/soil_hydraulic_parameters.h"
#include "soil/soil_water_quantities.h"

namespace recharge {

// The months of the monthly values, April to September.
inline constexpr int kMonths = 6;

// Monthly averages of April to September, cm.
struct GrowingSeason {
  double rain[kMonths];
  double etp[kMonths];
};

struct SoilInputs {
  ClimateInputs climate;                // its Cs is used unless the months are given
  std::optional<GrowingSeason> months;  // Cs is derived from these first
  SiteInputs site;
  SoilHydraulicParameters soil;  // its m is derived here from n
};

enum class SoilStep {
  kSimultaneity,  // Cs
  kParameters,    // m
  kStorage,       // FC, WP, Wmax
  kQmax,
  kMethodChoice,
  kCoefficient,        // nB estimated
  kAnaerobiosisHead,   // Se, h_an
  kCorrection,         // nB corrected for anaerobiosis
  kLimits,             // nB within 0.5 to 10
  kSolver,             // ETa by the Bagrov equation
  kHydropedotransfer,  // g and ETa by the regression
  kRecharge,           // R
};

// Its number is the code a grid keeps for it (soil_results.h).
enum class BalanceMethod { kBagrov, kHydropedotransfer };

// What the steps have given so far.
struct SoilRecord {
  ClimateInputs climate;  // with the Cs in use
  SoilHydraulicParameters soil;
  SoilWaterQuantities water;
  BalanceMethod method;
  bool anaerobiosis;  // the observer's answer, on the Bagrov path
  double nB;          // Bagrov coefficient (Bagrov method only)
  double g;           // share of summer potential evapotranspiration met (regression only)
  double ETa;         // actual evapotranspiration, cm
  double R;           // groundwater recharge P - ETa, cm: negative where the site takes more
                      // water from the groundwater than it gets as rain, a result, not an error
  int newton_steps;   // convergence tests of the solver; 0 on its shortcut
  SoilStep running;   // the step under way, or the last one
};

class SoilObserver {
 public:
  // After `step` has finished without a fault.
  virtual void Finished(SoilStep step, const SoilRecord& record) = 0;
  // Asked on the Bagrov path once nB is estimated: is severe anaerobiosis
  // expected?
  virtual bool SevereAnaerobiosisExpected() = 0;

 protected:
  ~SoilObserver() = default;
};

// The status of a soil: how its pass ended, or why there was none. Its
// number is the code a grid keeps for it (soil_results.h), every fault
// sharing kFault here.
enum class SoilStatus {
  kOk,             // R is computed
  kNoConvergence,  // the Newton iteration failed; ETa and R are not written
  kNoData,         // a grid's cell without a required value: no soil there, no pass
  kInputError,     // the soil's values were refused: no pass (soil_case.h)
  kFault,          // an arithmetic or math-function fault ended the pass
};

inline constexpr int kSoilStatusCount = 5;

struct SoilRun {
  SoilStatus status;
  RuntimeError fault;  // the report the dialogue would end with; kNone unless kFault
  SoilStep step;       // the step that raised it
};

// Runs the pass. A fault is found by the checks of the model's arithmetic
// (checked_arithmetic.h) at the operation that raised it: the pass ends with
// the step under way unfinished, and the record keeps what the steps before
// it gave. Safe on many threads at once; the observer may do anything an
// ordinary callee may.
SoilRun RunSoilBalance(const SoilInputs& inputs, SoilObserver& observer, SoilRecord& record);

}  // namespace recharge
