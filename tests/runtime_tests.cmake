# Unit tests of the run-time layer: reports, traps, faults as values and the
# checked math functions.
add_executable(runtime_tests
  runtime/fault_recovery_test.cc
  runtime/math_functions_test.cc
  runtime/termination_test.cc
  runtime/trap_environment_test.cc
)
target_link_libraries(runtime_tests PRIVATE recharge_runtime trapped_main GTest::gmock)
gtest_discover_tests(runtime_tests)
