# The R package (r/recharge, made by tools/make_r_package.py): built and
# checked by R CMD check --as-cran, installed, its results compared with the
# build's recharge-table and Python package (tests/r/package_test.sh).
# Left out with the Python package; skipped where R or its packages are not
# installed.
if(NOT RECHARGE_PYTHON_MODULE)
  return()
endif()
add_test(NAME r/package
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/r/package_test.sh $<TARGET_FILE:recharge-table>
                 ${PROJECT_BINARY_DIR}/python ${CMAKE_CURRENT_BINARY_DIR}/r)
set_tests_properties(r/package PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 1800 PROCESSORS 2)
