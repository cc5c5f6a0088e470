# The web page in headless Chromium (web/browser_test.py), one test per case,
# against the programs built natively by the default preset
# (RECHARGE_NATIVE_BUILD): skipped, with a message, without Chromium or
# them. A case serves the page and a test page on a port of its own.
set(RECHARGE_NATIVE_BUILD ${PROJECT_SOURCE_DIR}/build/default CACHE PATH
    "The native build whose recharge-table the web page is compared with")
find_program(PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
foreach(case IN ITEMS soil table dialogue error cancel)
  add_test(NAME Web.${case}
           COMMAND ${PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/web/browser_test.py ${case}
             --web ${CMAKE_BINARY_DIR}/web --table ${RECHARGE_NATIVE_BUILD}/recharge-table)
  set_tests_properties(Web.${case} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
endforeach()
