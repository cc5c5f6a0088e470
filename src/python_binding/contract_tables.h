// The contract's tables for the package's public face (python/recharge/
// _contract.py), as tuples of Python's plain values: the inputs
// (input_fields.h), the monthly series, the result columns and their units
// (soil_results.h, field_units.h).
#pragma once

#include <pybind11/pybind11.h>

#include <string_view>

#include "balance/input_fields.h"

namespace recharge::python {

// (name, description, quantity, model unit, offered units, group, required,
// month) of every input, month 4 to 9 for the monthly values, else None.
pybind11::tuple Inputs();

// (name, description, its fields April to September) of each monthly series.
pybind11::tuple Series();

// (name, unit, description, in the results' length, a column of text).
pybind11::tuple Columns();

// Each result column's unit, lengths in `length`, the year spelt `year`.
pybind11::tuple ResultUnits(std::string_view length, std::string_view year);

// The names of the fields `wanted` says yes to.
pybind11::tuple FieldsWhere(bool (*wanted)(InputField));

}  // namespace recharge::python
