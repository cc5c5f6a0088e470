#include "table/utf8.h"

namespace recharge::table {

std::size_t DecodeUtf8(std::string_view text, std::uint32_t& c) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  std::uint32_t least = 0;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2, c = lead & 0x1f, least = 0x80;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3, c = lead & 0x0f, least = 0x800;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4, c = lead & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xc0) != 0x80) return 0;
    c = c << 6 | (byte(i) & 0x3f);
  }
  if (c < least || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff)) return 0;
  return length;
}

bool IsUtf8(std::string_view text) {
  std::uint32_t c = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = DecodeUtf8(text.substr(i), c);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace recharge::table
