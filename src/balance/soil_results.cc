#include "balance/soil_results.h"

#include <array>

namespace recharge {

namespace {

constexpr StatusNames kStatusNames[kSoilStatusCount] = {
    {"ok", "ok"},
    {"no convergence", "no convergence"},
    {"no data", "no data"},
    {"input error", "input errors"},
    {"arithmetic fault", "arithmetic faults"},
};

constexpr int kErrorCount = static_cast<int>(RuntimeError::kSqrtOverflow) + 1;

bool IsFault(RuntimeError error) { return Describe(error).letter == 'M'; }

// The status code of every report, counted in the order of the reports;
// unused for those of class F.
std::array<std::uint8_t, kErrorCount> FaultCodes() {
  std::array<std::uint8_t, kErrorCount> codes{};
  auto next = static_cast<std::uint8_t>(SoilStatus::kFault);
  for (int error = 0; error < kErrorCount; ++error) {
    if (IsFault(static_cast<RuntimeError>(error))) codes[error] = next++;
  }
  return codes;
}

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

std::uint8_t MethodCode(BalanceMethod method) { return static_cast<std::uint8_t>(method); }

std::uint8_t StatusCode(SoilStatus status, RuntimeError fault) {
  static const std::array<std::uint8_t, kErrorCount> codes = FaultCodes();
  if (status == SoilStatus::kFault) return codes[static_cast<int>(fault)];
  return static_cast<std::uint8_t>(status);
}

std::vector<std::string> MethodTexts() {
  return {std::string(MethodName(BalanceMethod::kBagrov)),
          std::string(MethodName(BalanceMethod::kHydropedotransfer)), ""};
}

std::vector<std::string> StatusTexts() {
  std::vector<std::string> texts;
  for (int status = 0; status < static_cast<int>(SoilStatus::kFault); ++status) {
    texts.emplace_back(NamesOf(static_cast<SoilStatus>(status)).status);
  }
  for (int error = 0; error < kErrorCount; ++error) {
    if (IsFault(static_cast<RuntimeError>(error))) {
      texts.push_back(ReportLine(static_cast<RuntimeError>(error)));
    }
  }
  return texts;
}

std::span<const ResultColumn> ResultColumns() { return kColumns; }

}  // namespace recharge
