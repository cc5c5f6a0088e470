// A checked soil (soil_case.h) run through the model with its faults as
// values, and what every caller shows of it: its status and its result
// columns, each empty where the pass did not compute it.
//
//   sand Ss, zr 60, zgw 200, P 60, ETp 55, Ps 30, ETps 40, Cs 0.3 ->
//   status ok; Cs 0.3, FC 0.1435, WP 0.0207, Wmax 7.367, qmax 0.008554,
//   method bagrov, nB 3.712, h_an and g empty, ETa 48.79, R 11.21
//
// A column holds its value once the step that computes it has finished
// without a fault: Cs when it was given or derived, FC, WP and Wmax after the
// storage, qmax, the method, nB after its limits, h_an only with
// anaerobiosis, g only on the regression, ETa from the solver or the
// regression, R. Every other column, and every column of a soil that never
// ran (an input error), is empty.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "balance/soil_balance.h"
#include "balance/soil_case.h"

namespace recharge {

struct StatusNames {
  std::string_view status;   // "no convergence"; a fault shows its report instead
  std::string_view counted;  // "no convergence": as a summary counts it
};

const StatusNames& NamesOf(SoilStatus status);

// What a status is, as a grid's metadata describes it.
inline constexpr std::string_view kStatusDescription = "status of the computation";

// The status of an input error: "input error: zr: no value".
std::string InputErrorStatus(std::string_view reason);

struct SoilPass {
  SoilRecord record{};
  SoilStatus status = SoilStatus::kInputError;
  RuntimeError fault = RuntimeError::kNone;  // the report, when kFault
  std::uint32_t finished = 0;                // bit i: SoilStep i finished
  bool cs_given = false;
};

// Runs a checked soil; safe on many threads at once.
SoilPass RunSoilCase(const SoilCase& soil);

std::string_view MethodName(BalanceMethod method);  // "bagrov", "hydropedotransfer"

// The codes under which a grid keeps each cell's method and status (one byte
// each), and the texts they stand for, indexed by code.
//
// Methods: 0 bagrov, 1 hydropedotransfer, 2 "" (none: the pass did not reach
// the method choice).
// Statuses: the SoilStatus before kFault by its number (0 ok, 1 no
// convergence, 2 no data, 3 input error), then one code for each arithmetic
// fault's report in the order of runtime_error.h: 4 "M6101 floating-point
// error: invalid", 5 "M6103 floating-point error: divide by zero", ...,
// 7 "M6201 pow: DOMAIN error", ...
inline constexpr std::uint8_t kNoMethod = 2;

std::uint8_t MethodCode(BalanceMethod method);
std::uint8_t StatusCode(SoilStatus status, RuntimeError fault);
std::vector<std::string> MethodTexts();
std::vector<std::string> StatusTexts();

struct ResultColumn {
  std::string_view name;         // "Wmax"
  std::string_view unit;         // "cm", "cm/a", "cm/d", "cm3/cm3", "1"; empty for the method
  bool in_length;                // in the results' length unit, per year for "cm/a": Wmax, ETa, R
  std::string_view description;  // "maximum capillary rise rate"
  bool (*shown)(const SoilPass& pass);
  // nullptr for the method, the one column of text (MethodName).
  double (*value)(const SoilRecord& record);
};

// Cs, FC, WP, Wmax, qmax, method, nB, h_an, g, ETa, R.
std::span<const ResultColumn> ResultColumns();

}  // namespace recharge
