#include "python_binding/result_codes.h"

#include <array>

namespace recharge::python {

namespace {

constexpr std::uint8_t kFirstFaultCode = 4;
constexpr int kErrorCount = static_cast<int>(RuntimeError::kSqrtOverflow) + 1;

bool IsFault(RuntimeError error) { return Describe(error).letter == 'M'; }

// The status code of every report, counted in the order of the reports;
// unused for those of class F.
std::array<std::uint8_t, kErrorCount> FaultCodes() {
  std::array<std::uint8_t, kErrorCount> codes{};
  std::uint8_t next = kFirstFaultCode;
  for (int error = 0; error < kErrorCount; ++error) {
    if (IsFault(static_cast<RuntimeError>(error))) codes[error] = next++;
  }
  return codes;
}

}  // namespace

std::uint8_t MethodCode(BalanceMethod method) { return method == BalanceMethod::kBagrov ? 0 : 1; }

std::uint8_t StatusCode(const SoilPass& pass) {
  static const std::array<std::uint8_t, kErrorCount> codes = FaultCodes();
  switch (pass.status) {
    case SoilStatus::kOk:
      return kStatusOk;
    case SoilStatus::kNoConvergence:
      return kStatusNoConvergence;
    case SoilStatus::kFault:
      return codes[static_cast<int>(pass.fault)];
    case SoilStatus::kInputError:
      break;
  }
  return kStatusInputError;
}

std::vector<std::string> MethodTexts() {
  return {std::string(MethodName(BalanceMethod::kBagrov)),
          std::string(MethodName(BalanceMethod::kHydropedotransfer)), ""};
}

std::vector<std::string> StatusTexts() {
  std::vector<std::string> texts = {std::string(NamesOf(SoilStatus::kOk).status),
                                    std::string(NamesOf(SoilStatus::kNoConvergence).status),
                                    "no data",
                                    std::string(NamesOf(SoilStatus::kInputError).status)};
  for (int error = 0; error < kErrorCount; ++error) {
    if (IsFault(static_cast<RuntimeError>(error))) {
      texts.push_back(ReportLine(static_cast<RuntimeError>(error)));
    }
  }
  return texts;
}

}  // namespace recharge::python
