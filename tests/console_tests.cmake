# Unit tests of the console runtime.
add_executable(console_tests
  console/carriage_control_test.cc
  console/edit_descriptors_test.cc
  console/formatted_output_test.cc
  console/line_reader_test.cc
  console/list_directed_input_test.cc
  console/list_directed_output_test.cc
  console/number_conversion_test.cc
)
target_link_libraries(console_tests PRIVATE recharge_console GTest::gmock_main)
gtest_discover_tests(console_tests)
