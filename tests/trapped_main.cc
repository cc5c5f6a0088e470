// The main of the unit tests: every test runs as the program does, with
// invalid operation, division by zero and overflow trapping. A conversion, a
// math wrapper or a model step that let such an exception through would end
// its test with the trap's report.
#include <gtest/gtest.h>

#include "runtime/trap_environment.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  recharge::SetUpTrapEnvironment();
  return RUN_ALL_TESTS();
}
