// The state of a console unit's current output line.
#pragma once

namespace recharge {

struct ConsoleUnit {
  // A record's text is on the screen and its line end has not been written.
  bool pending_line = false;
  // The line end of the pending line was written when the unit was closed.
  bool line_closed = false;
};

}  // namespace recharge
