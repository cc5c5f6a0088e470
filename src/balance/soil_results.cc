#include "balance/soil_results.h"

namespace recharge {

namespace {

constexpr StatusNames kStatusNames[kSoilStatusCount] = {
    {"ok", "ok"},
    {"no convergence", "no convergence"},
    {"arithmetic fault", "arithmetic faults"},
    {"input error", "input errors"},
};

// Notes the steps that finish; answers the anaerobiosis question from the
// soil.
class StepNotes : public SoilObserver {
 public:
  explicit StepNotes(bool anaerobiosis) : anaerobiosis_(anaerobiosis) {}
  void Finished(SoilStep step, const SoilRecord&) override {
    finished |= std::uint32_t{1} << static_cast<int>(step);
  }
  bool SevereAnaerobiosisExpected() override { return anaerobiosis_; }

  std::uint32_t finished = 0;

 private:
  bool anaerobiosis_;
};

template <SoilStep step>
bool After(const SoilPass& pass) {
  return (pass.finished >> static_cast<int>(step)) & 1;
}

bool CsKnown(const SoilPass& pass) { return pass.cs_given || After<SoilStep::kSimultaneity>(pass); }

bool EtaKnown(const SoilPass& pass) {
  return After<SoilStep::kSolver>(pass) || After<SoilStep::kHydropedotransfer>(pass);
}

constexpr ResultColumn kColumns[] = {
    {"Cs", "1", false, "coefficient of simultaneity", CsKnown,
     [](const SoilRecord& r) { return r.climate.Cs; }},
    {"FC", "cm3/cm3", false, "field capacity", After<SoilStep::kStorage>,
     [](const SoilRecord& r) { return r.water.FC; }},
    {"WP", "cm3/cm3", false, "wilting point", After<SoilStep::kStorage>,
     [](const SoilRecord& r) { return r.water.WP; }},
    {"Wmax", "cm", true, "maximum plant-available water storage of the root zone",
     After<SoilStep::kStorage>, [](const SoilRecord& r) { return r.water.Wmax; }},
    {"qmax", "cm/d", false, "maximum capillary rise rate", After<SoilStep::kQmax>,
     [](const SoilRecord& r) { return r.water.qmax; }},
    {"method", "", false, "water balance method", After<SoilStep::kMethodChoice>, nullptr},
    {"nB", "1", false, "Bagrov coefficient", After<SoilStep::kLimits>,
     [](const SoilRecord& r) { return r.nB; }},
    {"h_an", "cm", false, "suction head at an air content of 0.05",
     After<SoilStep::kAnaerobiosisHead>, [](const SoilRecord& r) { return r.water.h_an; }},
    {"g", "1", false, "share of the summer potential evapotranspiration evaporated",
     After<SoilStep::kHydropedotransfer>, [](const SoilRecord& r) { return r.g; }},
    {"ETa", "cm/a", true, "long-term average annual actual evapotranspiration", EtaKnown,
     [](const SoilRecord& r) { return r.ETa; }},
    {"R", "cm/a", true, "long-term average annual groundwater recharge", After<SoilStep::kRecharge>,
     [](const SoilRecord& r) { return r.R; }},
};

}  // namespace

const StatusNames& NamesOf(SoilStatus status) { return kStatusNames[static_cast<int>(status)]; }

std::string InputErrorStatus(std::string_view reason) {
  return std::string(NamesOf(SoilStatus::kInputError).status) + ": " + std::string(reason);
}

SoilPass RunSoilCase(const SoilCase& soil) {
  SoilPass pass;
  pass.cs_given = !soil.inputs.months;
  StepNotes notes(soil.anaerobiosis);
  const SoilRun run = RunSoilBalance(soil.inputs, notes, pass.record);
  pass.finished = notes.finished;
  pass.fault = run.fault;
  pass.status = run.status;
  return pass;
}

std::string_view MethodName(BalanceMethod method) {
  return method == BalanceMethod::kBagrov ? "bagrov" : "hydropedotransfer";
}

std::span<const ResultColumn> ResultColumns() { return kColumns; }

}  // namespace recharge
