# The table program: its CSV reader, cell numbers and writer, and whole runs.
add_executable(table_tests
  table/cell_excerpt_test.cc
  table/cell_number_test.cc
  table/csv_reader_test.cc
  table/csv_writer_test.cc
)
target_link_libraries(table_tests PRIVATE recharge_table_io trapped_main GTest::gmock)
gtest_discover_tests(table_tests)

add_executable(table_program_test table/table_program_test.cc)
target_include_directories(table_program_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(table_program_test PRIVATE
  RECHARGE_TABLE_BINARY="$<TARGET_FILE:recharge-table>"
  TABLE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/table/tables"
)
target_link_libraries(table_program_test PRIVATE run_program GTest::gtest_main)
add_dependencies(table_program_test recharge-table)
gtest_discover_tests(table_program_test)

# recharge-table's rows against its input's lines, whatever the lines hold.
add_executable(row_accounting_test table/row_accounting_test.cc)
target_include_directories(row_accounting_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(row_accounting_test PRIVATE
  RECHARGE_TABLE_BINARY="$<TARGET_FILE:recharge-table>"
)
target_link_libraries(row_accounting_test PRIVATE run_program GTest::gtest_main)
add_dependencies(row_accounting_test recharge-table)
gtest_discover_tests(row_accounting_test)

# recharge-table among other processes: output file kinds, -j, signals, a
# fault outside recovery; the worker threads and CPU count it runs on.
add_executable(table_process_test table/table_process_test.cc)
target_include_directories(table_process_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(table_process_test PRIVATE
  RECHARGE_TABLE_BINARY="$<TARGET_FILE:recharge-table>"
)
target_link_libraries(table_process_test PRIVATE run_program recharge_table GTest::gmock_main)
add_dependencies(table_process_test recharge-table)
gtest_discover_tests(table_process_test)
