# recharge-table on the expected tables of tests/table/tables, run directly
# or under a cross build's emulator (qemu-aarch64, node for WebAssembly): the
# output must be the expected file, byte for byte, with exit status 1 (some
# rows are not ok).
# units.csv is rows of soils.csv in other units, each named in its column
# (P [mm/a], zr [m], alpha [m⁻¹], ...), all powers of ten, which the program
# applies to a cell's text: its rows are soils.expected.csv's, under a header
# that names the units. The WebAssembly build reads them from its list.
if(NOT RECHARGE_UNITS)
  return()
endif()
foreach(name IN ITEMS soils soils_semicolon units)
  add_test(NAME ExpectedTable.${name}
           COMMAND ${CMAKE_COMMAND}
             -DPROGRAM=$<TARGET_FILE:recharge-table>
             "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
             -DINPUT=${CMAKE_CURRENT_SOURCE_DIR}/table/tables/${name}.csv
             -DEXPECTED=${CMAKE_CURRENT_SOURCE_DIR}/table/tables/${name}.expected.csv
             -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/${name}.out.csv
             -P ${CMAKE_CURRENT_SOURCE_DIR}/expected_table.cmake)
endforeach()
