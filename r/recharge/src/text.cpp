#include "text.h"

namespace recharge::r {

namespace {

// Whether `bytes` is UTF-8: each character its shortest form, no surrogate,
// nothing beyond U+10FFFF.
bool IsUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || i + length > bytes.size()) return false;
    unsigned code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
        (length == 4 && (code < 0x10000 || code > 0x10FFFF))) {
      return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

SEXP Text(std::string_view bytes) {
  return Rf_mkCharLenCE(bytes.data(), static_cast<int>(bytes.size()),
                        IsUtf8(bytes) ? CE_UTF8 : CE_BYTES);
}

}  // namespace recharge::r
