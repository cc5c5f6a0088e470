// recharge: long-term actual evapotranspiration and groundwater recharge of
// grass-covered soils, asked for and answered at the console.
#include "app/dialogue.h"
#include "console/console.h"
#include "runtime/trap_environment.h"

int main() {
  recharge::SetUpTrapEnvironment();
  recharge::Dialogue(recharge::Console::Open()).Run();
}
