// UTF-8 as a table's text holds it: each character in its shortest form, no
// surrogate, nothing beyond U+10FFFF.
//
//   DecodeUtf8("\xc2\xa0 ...", c) -> 2, c = 0xa0     IsUtf8("M\xc3\xbcller") -> true
//   DecodeUtf8("\xc0\x80", c)     -> 0 (overlong)    IsUtf8("M\xfcller")     -> false
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace recharge::table {

// The length of the multi-byte sequence at the start of `text` and its code
// point in `c`; 0 when it is no valid sequence of two to four bytes.
std::size_t DecodeUtf8(std::string_view text, std::uint32_t& c);

// Whether all of `text` is UTF-8 (ASCII among it).
bool IsUtf8(std::string_view text);

}  // namespace recharge::table
