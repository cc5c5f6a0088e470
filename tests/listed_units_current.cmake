# Whether src/balance/listed_units.inc is what make_listed_units writes now
# (cmake -P): PROGRAM's output, through EMULATOR when given, in OUTPUT
# compared with LIST.
execute_process(COMMAND ${EMULATOR} ${PROGRAM} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE status
                ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM}: exit status ${status}: ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${LIST}
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "${LIST} is not what ${PROGRAM} writes now (${OUTPUT}): make it again, "
                      "${PROGRAM} > ${LIST}")
endif()
