// CSV output of a table, appended to a buffer that the caller writes out.
//
// A field is written as it stands unless reading it back would change it: one
// that holds the delimiter, a quote, CR or LF, or starts or ends with a blank
// or a tab, is quoted, with each quote doubled. Fields are separated by the
// delimiter, which the caller appends; records end in LF.
//   "60.5" -> 60.5   "a;b" with ';' -> "a;b" quoted   say "hi" -> "say ""hi"""
//   " x" -> " x" quoted   "" -> nothing
// A record of one empty field reads back as an empty line, that is as no
// record at all.
#pragma once

#include <string>
#include <string_view>

namespace recharge::table {

void AppendField(std::string_view text, char delimiter, std::string& out);
void AppendRecordEnd(std::string& out);

}  // namespace recharge::table
