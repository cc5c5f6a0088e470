// The small integer codes under which a grid of soils keeps each cell's
// method and status (one byte each), and the texts they stand for, indexed
// by code.
//
// Methods: 0 bagrov, 1 hydropedotransfer, 2 "" (none: the pass did not reach
// the method choice).
// Statuses: 0 ok, 1 no convergence, 2 no data (a required value not given,
// on a grid), 3 input error, then one code for each arithmetic fault's
// report in the order of runtime_error.h: 4 "M6101 floating-point error:
// invalid", 5 "M6103 floating-point error: divide by zero", ...,
// 7 "M6201 pow: DOMAIN error", ...
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "balance/soil_results.h"
#include "runtime/runtime_error.h"

namespace recharge::python {

inline constexpr std::uint8_t kNoMethod = 2;

inline constexpr std::uint8_t kStatusOk = 0;
inline constexpr std::uint8_t kStatusNoConvergence = 1;
inline constexpr std::uint8_t kStatusNoData = 2;
inline constexpr std::uint8_t kStatusInputError = 3;

std::uint8_t MethodCode(BalanceMethod method);

// The status of a soil that ran (not an input error).
std::uint8_t StatusCode(const SoilPass& pass);

std::vector<std::string> MethodTexts();
std::vector<std::string> StatusTexts();

}  // namespace recharge::python
