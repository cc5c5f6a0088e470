// The exact bytes of an M-class report on standard error.
#pragma once

#include <string>

namespace recharge {

inline std::string MathReport(const char* number, const char* message) {
  return std::string("\r\nrun-time error M") + number + ": MATH\r\n- " + message + "\r\n";
}

}  // namespace recharge
