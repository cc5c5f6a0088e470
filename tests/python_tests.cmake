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

# Every tests/<folder>/test_*.py as the test <folder>/<name>, with PYTHONPATH
# the folders ${pythonpath} and the environment ${ARGN}.
function(add_pytest_files folder pythonpath)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/test_*.py)
  foreach(test IN LISTS tests)
    cmake_path(GET test STEM name)
    add_test(NAME ${folder}/${name}
             COMMAND ${Python_EXECUTABLE} -m pytest -q -p no:cacheprovider ${test})
    set_tests_properties(${folder}/${name} PROPERTIES ENVIRONMENT
      "PYTHONPATH=${pythonpath};PYTHONDONTWRITEBYTECODE=1;${ARGN}")
  endforeach()
endfunction()

add_pytest_files(python ${PROJECT_BINARY_DIR}/python "RECHARGE_TABLE=$<TARGET_FILE:recharge-table>")
