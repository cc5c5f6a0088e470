#include "text.h"

#include "table/utf8.h"

namespace recharge::r {

SEXP Text(std::string_view bytes) {
  return Rf_mkCharLenCE(bytes.data(), static_cast<int>(bytes.size()),
                        table::IsUtf8(bytes) ? CE_UTF8 : CE_BYTES);
}

}  // namespace recharge::r
