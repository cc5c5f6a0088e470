// The names of a soil's fields (soil_case.h) as the columns of a table or a
// data frame spell them: without regard to case, so that "Anaerobiosis" and
// "CS" are read, and with a hint for a name that is one letter off.
//
//   SameName("zGW", "zgw") -> true     SameName("z_r", "zr") -> false
//   Resembles("z_r", "zr"), Resembles("clas", "class") -> true
#pragma once

#include <string_view>

namespace recharge {

// The same name, case aside.
bool SameName(std::string_view a, std::string_view b);

// One letter added, dropped or changed, case aside. A known name of one
// letter (n) resembles too much to be suggested.
bool Resembles(std::string_view name, std::string_view known);

}  // namespace recharge
