// What the web page offers, as JSON, from the contract's own tables: every
// input (input_fields.h) with its description, kind of quantity, the model's
// unit, the units a user may pick and what the field takes, its group, whether
// every soil gives it and its month; the monthly series; the 34 soil classes
// by number and name; the result columns with their units and descriptions;
// the length units of the results. The page builds its form from it and
// names nothing of its own.
//
//   {"version":"1.0","inputs":[{"name":"P","description":"annual
//   precipitation","quantity":"annual total","model_unit":"cm","offered":
//   ["cm/a","mm/a",...],...},...],"classes":[{"number":1,"name":"Ss"},...],...}
#pragma once

#include <string>

namespace recharge::web {

std::string ContractJson();

}  // namespace recharge::web
