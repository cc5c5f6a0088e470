# Tests of the QGIS plugin (tests/qgis), run headless by pytest on the build
# tree's plugin and package, where QGIS's Python bindings (python3-qgis) are
# found.
if(NOT COMMAND add_pytest_files)
  return()
endif()
execute_process(COMMAND ${Python_EXECUTABLE} -c "import qgis.core"
                RESULT_VARIABLE qgis_missing OUTPUT_QUIET ERROR_QUIET)
if(qgis_missing)
  message(STATUS "Building without the QGIS plugin's tests: no python3-qgis for ${Python_EXECUTABLE}")
  return()
endif()
add_pytest_files(qgis ${PROJECT_BINARY_DIR}/python:${PROJECT_BINARY_DIR}/qgis
                 QT_QPA_PLATFORM=offscreen "RECHARGE_TABLE=$<TARGET_FILE:recharge-table>")
