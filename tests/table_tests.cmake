# The table program: its CSV reader, cell numbers and writer, and whole runs.
add_executable(table_tests
  table/cell_excerpt_test.cc
  table/cell_number_test.cc
  table/csv_reader_test.cc
  table/csv_writer_test.cc
)
target_link_libraries(table_tests PRIVATE recharge_table_io GTest::gmock_main)
gtest_discover_tests(table_tests)

# The programs that read units, where UDUNITS-2 is found.
if(NOT RECHARGE_UNITS)
  return()
endif()

# A run of the built recharge-table from a test: the program's path in
# RECHARGE_TABLE_BINARY; further arguments are libraries besides run_program.
function(add_table_run_test name)
  add_executable(${name} table/${name}.cc)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    RECHARGE_TABLE_BINARY="$<TARGET_FILE:recharge-table>"
    TABLE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/table/tables"
  )
  target_link_libraries(${name} PRIVATE run_program ${ARGN})
  add_dependencies(${name} recharge-table)
  gtest_discover_tests(${name})
endfunction()

add_table_run_test(table_program_test GTest::gtest_main)

# recharge-table's rows against its input's lines, whatever the lines hold.
add_table_run_test(row_accounting_test GTest::gtest_main)

# recharge-table among other processes: output file kinds, -j, signals, a
# fault outside recovery; the worker threads and CPU count it runs on.
add_table_run_test(table_process_test recharge_table GTest::gmock_main)
