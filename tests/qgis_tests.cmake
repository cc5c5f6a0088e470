# Tests of the QGIS plugin (tests/qgis), each file a test, run headless by
# pytest on the build tree's plugin and package, where QGIS's Python bindings
# (python3-qgis) are found.
if(NOT RECHARGE_PYTHON_MODULE OR pytest_missing)
  return()
endif()
execute_process(COMMAND ${Python_EXECUTABLE} -c "import qgis.core"
                RESULT_VARIABLE qgis_missing OUTPUT_QUIET ERROR_QUIET)
if(qgis_missing)
  message(STATUS "Building without the QGIS plugin's tests: no python3-qgis for ${Python_EXECUTABLE}")
  return()
endif()
file(GLOB qgis_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/qgis/test_*.py)
foreach(test IN LISTS qgis_tests)
  cmake_path(GET test STEM name)
  add_test(NAME qgis/${name} COMMAND ${Python_EXECUTABLE} -m pytest -q -p no:cacheprovider ${test})
  set_tests_properties(qgis/${name} PROPERTIES ENVIRONMENT
    "PYTHONPATH=${PROJECT_BINARY_DIR}/python:${PROJECT_BINARY_DIR}/qgis;PYTHONDONTWRITEBYTECODE=1;QT_QPA_PLATFORM=offscreen")
endforeach()
