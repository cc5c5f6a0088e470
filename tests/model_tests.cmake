# Unit tests of the model: soil water quantities, the water balance methods
# and the pass of a soil through them.
add_executable(model_tests
  soil/water_retention_test.cc
  soil/soil_water_quantities_test.cc
  balance/simultaneity_test.cc
  balance/method_choice_test.cc
  balance/bagrov_coefficient_test.cc
  balance/bagrov_solver_test.cc
  balance/hydropedotransfer_test.cc
  balance/input_fields_test.cc
  balance/soil_balance_test.cc
  balance/soil_case_test.cc
)
target_link_libraries(model_tests PRIVATE recharge_model GTest::gmock_main)
gtest_discover_tests(model_tests)

# The units of the fields, where UDUNITS-2 is found: UDUNITS-2's, and the
# list the WebAssembly build reads, against UDUNITS-2 and against what
# make_listed_units writes now.
if(RECHARGE_UNITS)
  add_executable(units_tests balance/field_units_test.cc balance/listed_units_test.cc)
  target_link_libraries(units_tests PRIVATE recharge_units recharge_listed_units GTest::gtest_main)
  gtest_discover_tests(units_tests)

  add_test(NAME ListedUnits.Current
           COMMAND ${CMAKE_COMMAND}
             -DPROGRAM=$<TARGET_FILE:make_listed_units>
             "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
             -DLIST=${PROJECT_SOURCE_DIR}/src/balance/listed_units.inc
             -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/listed_units.inc
             -P ${CMAKE_CURRENT_SOURCE_DIR}/listed_units_current.cmake)
endif()
