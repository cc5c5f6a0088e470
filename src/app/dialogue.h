// The dialogue: the banner, then cases (one climate each) and, inside each
// case, soils (one site and soil each), until the user answers no. The
// dialogue holds all state of the run; a value that is not asked again keeps
// what it had.
#pragma once

#include <cstdint>

#include "balance/soil_balance.h"
#include "console/console.h"

namespace recharge {

class Dialogue : private SoilObserver {
 public:
  explicit Dialogue(Console& console);

  // Runs to the final stop.
  [[noreturn]] void Run();

 private:
  void Say(std::string_view text);
  // Ends the run with the report of a fault, as every fault of the model
  // ends the dialogue; nothing for kNone.
  static void EndOnFault(RuntimeError fault);
  // Asks a (0,1) question; the answer is 0 when none is given.
  std::int32_t AskYesNo(std::string_view question);

  void AskClimate();
  void AskCoefficientOfSimultaneity();
  void RunSoil();
  void ChooseSoilClass();
  void TakeSoilParameters();

  // Prints the records of the soil's steps as they finish.
  void Finished(SoilStep step, const SoilRecord& record) override;
  bool SevereAnaerobiosisExpected() override;

  Console& console_;
  // The climate, site and soil parameters as last answered: a value that is
  // not asked again keeps what it had (a null answer keeps it too).
  SoilInputs soil_inputs_{};
  double rain_[10]{};            // cm, indexed by month 4 to 9
  double etp_[10]{};             // cm, indexed by month 4 to 9
  std::int32_t soil_class_ = 0;  // 0: own parameters; not reset between soils
  std::int32_t answer_ = 0;
};

}  // namespace recharge
