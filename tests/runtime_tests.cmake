# Unit tests of the run-time layer: reports and the checked arithmetic.
add_executable(runtime_tests
  runtime/checked_arithmetic_test.cc
  runtime/termination_test.cc
)
target_link_libraries(runtime_tests PRIVATE recharge_runtime GTest::gmock_main)
gtest_discover_tests(runtime_tests)
