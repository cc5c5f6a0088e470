// The bytes written before a record's text, chosen by its first character
// (its carriage control) and by the state of the unit's current line.
//
// While a line is pending (its text written, its line end not):
//   blank or any other character -> CR LF        next line
//   '0'                          -> CR LF CR LF  one empty line first
//   '1'                          -> CR LF FF CR blank CR   new page
//   '+'                          -> CR           overprint the current line
// At the start of a fresh line only '1' and '+' keep their sequence, and '0'
// writes a single CR LF.
#pragma once

#include <string_view>

namespace recharge {

std::string_view LineAdvance(char control, bool pending_line);

}  // namespace recharge
