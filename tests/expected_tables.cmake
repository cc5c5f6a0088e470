# recharge-table on the expected tables of tests/table/tables, run under the
# cross build's emulator: the output must be the expected file, byte for
# byte, with exit status 1 (some rows are not ok).
if(NOT RECHARGE_UNITS)
  return()
endif()
foreach(name IN ITEMS soils soils_semicolon)
  add_test(NAME ExpectedTable.${name}
           COMMAND ${CMAKE_COMMAND}
             -DPROGRAM=$<TARGET_FILE:recharge-table>
             "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
             -DINPUT=${CMAKE_CURRENT_SOURCE_DIR}/table/tables/${name}.csv
             -DEXPECTED=${CMAKE_CURRENT_SOURCE_DIR}/table/tables/${name}.expected.csv
             -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/${name}.out.csv
             -P ${CMAKE_CURRENT_SOURCE_DIR}/expected_table.cmake)
endforeach()
