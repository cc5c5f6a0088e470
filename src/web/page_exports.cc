// The page module's functions, called from JavaScript (page.js): the
// contract, the scale of a unit for the plot and the Bagrov curve. Every
// result of a soil comes from recharge-table's own run on the form's row.
#include <emscripten/emscripten.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "balance/field_units.h"
#include "web/bagrov_curve.h"
#include "web/page_contract.h"

namespace {

constexpr double kNoScale = std::numeric_limits<double>::quiet_NaN();

double Multiplier(const recharge::UnitScale& scale) {
  if (!scale.power_of_ten) return scale.factor;
  const double power = recharge::PowerOfTen(std::abs(scale.shift));
  return scale.shift >= 0 ? power : 1.0 / power;
}

const recharge::FieldUnits* Units() {
  std::string error;
  return recharge::FieldUnits::Load(error);
}

}  // namespace

extern "C" {

// The JSON of page_contract.h, made once.
EMSCRIPTEN_KEEPALIVE const char* recharge_contract() {
  static const std::string contract = recharge::web::ContractJson();
  return contract.c_str();
}

// What a value of the input `field` in `unit` is in the model's unit, for
// placing a soil on its curve; NaN where the field or unit is refused.
EMSCRIPTEN_KEEPALIVE double recharge_unit_scale(const char* field, const char* unit) {
  const std::optional<recharge::InputField> input = recharge::FieldNamed(field);
  recharge::UnitScale scale;
  std::string problem;
  if (!input || Units() == nullptr || !Units()->ScaleOf(*input, unit, scale, problem)) {
    return kNoScale;
  }
  return Multiplier(scale);
}

// What a result length of 1 cm is in `unit`; NaN where it is refused.
EMSCRIPTEN_KEEPALIVE double recharge_length_scale(const char* unit) {
  recharge::UnitScale scale;
  std::string problem;
  if (Units() == nullptr || !Units()->LengthScale(unit, scale, problem)) return kNoScale;
  return Multiplier(scale);
}

EMSCRIPTEN_KEEPALIVE void recharge_bagrov_curve(double nB, double largest, int count,
                                                double* ratios) {
  recharge::web::BagrovCurve(nB, largest, count, ratios);
}

}  // extern "C"
