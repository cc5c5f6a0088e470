// The units of the R package's inputs and results, read once by UDUNITS-2
// (field_units.h): an R error, naming what gave the unit, for one that its
// input does not take.
//
//   ScaleOf(kZgw, "m", "column zgw (m)")  -> shift 2
//   ScaleOf(kZgw, "1/m", "column zgw")    -> error "column zgw: zgw takes a
//                                            length (mm, cm, m, in, ...), not \"1/m\""
#pragma once

#include <string_view>

#include "balance/field_units.h"

namespace recharge::r {

// The unit database; an R error naming the file and UDUNITS2_XML_PATH when it
// cannot be read.
const FieldUnits& Units();

UnitScale ScaleOf(InputField field, std::string_view unit, std::string_view label);

// The scale of the results' lengths from cm, `output_units` named in errors.
UnitScale LengthScaleOf(std::string_view unit);

// The field named `name` exactly ("P", "rain4"); an R error for another name.
InputField FieldOf(std::string_view name);

}  // namespace recharge::r
