// The dialogue: the banner, then cases (one climate each) and, inside each
// case, soils (one site and soil each), until the user answers no. The
// dialogue holds all state of the run; a value that is not asked again keeps
// what it had.
#pragma once

#include <cstdint>

#include "balance/case_result.h"
#include "balance/climate_inputs.h"
#include "console/console.h"
#include "soil/soil_hydraulic_parameters.h"
#include "soil/soil_water_quantities.h"

namespace recharge {

class Dialogue {
 public:
  explicit Dialogue(Console& console);

  // Runs to the final stop.
  [[noreturn]] void Run();

 private:
  void Say(std::string_view text);
  // Asks a (0,1) question; the answer is 0 when none is given.
  std::int32_t AskYesNo(std::string_view question);

  void AskClimate();
  void AskCoefficientOfSimultaneity();
  void RunSoil();
  void ChooseSoilClass();
  void TakeSoilParameters();
  void ShowSoilWater();
  void UseBagrovMethod();
  void UseHydropedotransferMethod();

  Console& console_;
  ClimateInputs climate_{};
  double rain_[10]{};  // cm, indexed by month 4 to 9
  double etp_[10]{};   // cm, indexed by month 4 to 9
  SiteInputs site_{};
  std::int32_t soil_class_ = 0;  // 0: own parameters; not reset between soils
  SoilHydraulicParameters soil_{};
  SoilWaterQuantities water_{};
  CaseResult result_{};
  std::int32_t answer_ = 0;
};

}  // namespace recharge
