# One run of recharge-table (cmake -P): PROGRAM on INPUT, through EMULATOR
# when given, its output in OUTPUT compared with EXPECTED.
execute_process(COMMAND ${EMULATOR} ${PROGRAM} -q -o ${OUTPUT} ${INPUT}
                RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 1)
  message(FATAL_ERROR "exit status ${status}, not 1: ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${EXPECTED}
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "${OUTPUT} differs from ${EXPECTED}")
endif()
