// The names of a soil's fields (soil_case.h) as the columns of a table or a
// data frame spell them: without regard to case, so that "Anaerobiosis" and
// "CS" are read, and with a hint for a name that is one letter off.
//
//   FieldNamed("zGW") -> kZgw      FieldNamed("z_r") -> none
//   Resembles("z_r", "zr"), Resembles("clas", "class") -> true
#pragma once

#include <optional>
#include <string_view>

#include "balance/soil_case.h"

namespace recharge {

// The same name, case aside.
bool SameName(std::string_view a, std::string_view b);

// The field of that name, case aside; every field keeps a name of its own
// that way.
std::optional<InputField> FieldNamed(std::string_view name);

// One letter added, dropped or changed, case aside. A known name of one
// letter (n) resembles too much to be suggested.
bool Resembles(std::string_view name, std::string_view known);

}  // namespace recharge
