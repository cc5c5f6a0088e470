#include "field_scales.h"

#include <Rcpp.h>

#include <string>

namespace recharge::r {

const FieldUnits& Units() {
  std::string error;
  const FieldUnits* const units = FieldUnits::Load(error);
  if (units == nullptr) Rcpp::stop(error);
  return *units;
}

UnitScale ScaleOf(InputField field, std::string_view unit, std::string_view label) {
  UnitScale scale;
  std::string problem;
  if (!Units().ScaleOf(field, unit, scale, problem)) {
    Rcpp::stop(std::string(label) + ": " + problem);
  }
  return scale;
}

UnitScale LengthScaleOf(std::string_view unit) {
  UnitScale scale;
  std::string problem;
  if (!Units().LengthScale(unit, scale, problem)) Rcpp::stop("output_units: " + problem);
  return scale;
}

InputField FieldOf(std::string_view name) {
  const std::optional<InputField> field = FieldNamed(name);
  if (!field) Rcpp::stop("no input " + std::string(name));
  return *field;
}

}  // namespace recharge::r
