// Text of a table as R strings: its bytes as they are, marked UTF-8 where
// they are UTF-8 (ASCII among them), else as bytes ("M\xfcller" of a
// spreadsheet's export in cp1252), so that no byte is lost or changed.
#pragma once

#include <Rcpp.h>

#include <string_view>

namespace recharge::r {

SEXP Text(std::string_view bytes);

}  // namespace recharge::r
