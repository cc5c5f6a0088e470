# Unit tests of the model: soil water quantities and the water balance methods.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(model_tests
  ${CMAKE_CURRENT_LIST_DIR}/soil/water_retention_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/soil/soil_water_quantities_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/balance/simultaneity_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/balance/method_choice_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/balance/bagrov_coefficient_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/balance/bagrov_solver_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/balance/hydropedotransfer_test.cc
)
target_link_libraries(model_tests PRIVATE recharge_model GTest::gtest_main)
gtest_discover_tests(model_tests)
