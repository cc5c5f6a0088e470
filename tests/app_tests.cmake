# End-to-end runs of the built program: piped transcripts and a terminal run.
add_library(run_program OBJECT app/run_program.cc)
target_compile_definitions(run_program PRIVATE RECHARGE_BINARY="$<TARGET_FILE:recharge>")

add_executable(app_tests
  app/soil_classes_test.cc
  app/terminal_test.cc
  app/failing_streams_test.cc
  app/inherited_state_test.cc
)
target_compile_definitions(app_tests PRIVATE
  RECHARGE_BINARY="$<TARGET_FILE:recharge>"
  TERMINAL_DIR="${CMAKE_CURRENT_SOURCE_DIR}/app/terminal"
  SOIL_CLASSES_FILE="${CMAKE_CURRENT_SOURCE_DIR}/app/soil_classes.txt"
)
target_link_libraries(app_tests PRIVATE run_program recharge_model GTest::gtest_main util)
add_dependencies(app_tests recharge)
gtest_discover_tests(app_tests)

# One test per transcript file; the glob is looked at again by every build.
add_executable(transcript_test app/transcript_test.cc)
target_link_libraries(transcript_test PRIVATE run_program GTest::gtest)
add_dependencies(transcript_test recharge)
file(GLOB transcripts CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/transcripts/*.txt)
foreach(transcript IN LISTS transcripts)
  get_filename_component(name ${transcript} NAME_WE)
  add_test(NAME Transcripts.${name} COMMAND transcript_test ${transcript})
endforeach()
