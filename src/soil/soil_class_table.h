// The 34 built-in soil texture classes: their names, van Genuchten/Mualem
// parameters and the two coefficients of the capillary rise estimate. Every
// value is the single-precision number nearest to its published decimal,
// widened exactly to double (theta_s of class 1, 0.3879, is 0.38789999485015869140625): results
// depend on it.
#pragma once

#include <string_view>

#include "soil/soil_hydraulic_parameters.h"

namespace recharge {

inline constexpr int kSoilClassCount = 34;

struct SoilClassRow {
  double theta_r;  // cm3/cm3
  double theta_s;  // cm3/cm3
  double alpha;    // 1/cm
  double n;
  double p1;
  double p2;
  std::string_view name;  // the texture class: "Ss", "Sl2", ..., "gS"
};

// Row of class `number`, 1 to kSoilClassCount; nullptr for any other number.
const SoilClassRow* SoilClass(int number);

// The parameters of a row as the model takes them; m is left 0, to be
// derived from n when the soil is run.
SoilHydraulicParameters ParametersOf(const SoilClassRow& row);

}  // namespace recharge
