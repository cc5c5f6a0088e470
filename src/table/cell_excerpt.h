// A cell as a message quotes it: in double quotes, at most 40 bytes of it,
// with what would not print shown escaped, so that a message says what the
// cell holds even where it holds invisible characters.
//   60x          -> "60x"
//   60 and NUL   -> "60\x00"          (control bytes and bytes that are no UTF-8)
//   60 and U+00A0 -> "60\u00a0"       (no-break, zero-width and other invisible spaces)
//   1000 sevens  -> "7777...7..." (1000 bytes)
#pragma once

#include <string>
#include <string_view>

namespace recharge::table {

std::string Excerpt(std::string_view cell);

}  // namespace recharge::table
