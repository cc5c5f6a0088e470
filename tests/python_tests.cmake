# Tests of the Python package (tests/python), each file a test, run by pytest
# on the build tree's package and compared with the build's recharge-table.
# Left out with the package (the root CMakeLists.txt names what is missing),
# and where pytest is not found.
if(NOT RECHARGE_PYTHON_MODULE)
  return()
endif()
execute_process(COMMAND ${Python_EXECUTABLE} -c "import pytest"
                RESULT_VARIABLE pytest_missing OUTPUT_QUIET ERROR_QUIET)
if(pytest_missing)
  message(STATUS "Building without the Python package's tests: no pytest for ${Python_EXECUTABLE}")
  return()
endif()
file(GLOB python_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/python/test_*.py)
foreach(test IN LISTS python_tests)
  cmake_path(GET test STEM name)
  add_test(NAME python/${name}
           COMMAND ${Python_EXECUTABLE} -m pytest -q -p no:cacheprovider ${test})
  set_tests_properties(python/${name} PROPERTIES ENVIRONMENT
    "PYTHONPATH=${PROJECT_BINARY_DIR}/python;PYTHONDONTWRITEBYTECODE=1;RECHARGE_TABLE=$<TARGET_FILE:recharge-table>")
endforeach()
