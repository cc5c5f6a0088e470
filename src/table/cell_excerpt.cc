#include "table/cell_excerpt.h"

#include <cstdint>

#include "table/utf8.h"

namespace recharge::table {

namespace {

constexpr std::size_t kExcerptBytes = 40;

// Code points that show as nothing or as a blank that is not one: C1
// controls, the no-break and other special spaces, soft hyphen, zero-width
// and direction marks, separators, the byte-order mark.
bool IsInvisible(std::uint32_t c) {
  return (c >= 0x80 && c <= 0xa0) || c == 0xad || (c >= 0x2000 && c <= 0x200f) ||
         (c >= 0x2028 && c <= 0x202f) || (c >= 0x205f && c <= 0x206f) || c == 0x3000 || c == 0xfeff;
}

void AppendHex(std::string& out, const char* prefix, std::uint32_t value, int digits) {
  constexpr char kDigits[] = "0123456789abcdef";
  out += prefix;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[value >> shift & 0xf];
}

}  // namespace

std::string Excerpt(std::string_view cell) {
  const std::string_view shown = cell.substr(0, kExcerptBytes);
  std::string out = "\"";
  for (std::size_t i = 0; i < shown.size();) {
    const auto byte = static_cast<unsigned char>(shown[i]);
    if (byte >= 0x20 && byte < 0x7f) {
      out += shown[i++];
      continue;
    }
    std::uint32_t c = 0;
    const std::size_t length = byte < 0x80 ? 0 : DecodeUtf8(shown.substr(i), c);
    if (length == 0) {
      AppendHex(out, "\\x", byte, 2);
      ++i;
    } else if (IsInvisible(c)) {
      AppendHex(out, "\\u", c, c > 0xffff ? 6 : 4);
      i += length;
    } else {
      out.append(shown.substr(i, length));
      i += length;
    }
  }
  out += '"';
  if (cell.size() > kExcerptBytes) {
    out.insert(out.size() - 1, "...");
    out += " (" + std::to_string(cell.size()) + " bytes)";
  }
  return out;
}

}  // namespace recharge::table
