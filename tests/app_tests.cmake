# End-to-end runs of the built program: piped transcripts and a terminal run.
add_executable(app_tests
  app/run_program.cc
  app/soil_classes_test.cc
  app/terminal_test.cc
  app/failing_streams_test.cc
  app/transcript_test.cc
)
target_compile_definitions(app_tests PRIVATE
  RECHARGE_BINARY="$<TARGET_FILE:recharge>"
  TRANSCRIPT_DIR="${CMAKE_CURRENT_SOURCE_DIR}/app/transcripts"
  TERMINAL_DIR="${CMAKE_CURRENT_SOURCE_DIR}/app/terminal"
  SOIL_CLASSES_FILE="${CMAKE_CURRENT_SOURCE_DIR}/app/soil_classes.txt"
)
target_link_libraries(app_tests PRIVATE GTest::gtest_main util)
add_dependencies(app_tests recharge)
gtest_discover_tests(app_tests)
