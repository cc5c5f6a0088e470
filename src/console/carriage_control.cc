#include "console/carriage_control.h"

namespace recharge {

std::string_view LineAdvance(char control, bool on_pending_line) {
  switch (control) {
    case '0':
      return on_pending_line ? "\r\n\r\n" : "\r\n";
    case '1':
      return "\r\n\f\r \r";
    case '+':
      return "\r";
    default:
      return on_pending_line ? "\r\n" : "";
  }
}

}  // namespace recharge
