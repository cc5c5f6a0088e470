// The state of a console unit's current output line.
#pragma once

namespace recharge {

struct ConsoleUnit {
  // A record's text is on the screen and its line end has not been written.
  bool pending_line = false;
};

}  // namespace recharge
