// recharge: long-term actual evapotranspiration and groundwater recharge of
// grass-covered soils, asked for and answered at the console.
#include <csignal>

#include "app/dialogue.h"
#include "console/console.h"

int main() {
  // A write to a closed pipe fails with an error that the run reports.
  std::signal(SIGPIPE, SIG_IGN);
  recharge::Dialogue(recharge::Console::Open()).Run();
}
