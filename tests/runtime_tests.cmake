# Unit tests of the run-time layer: reports and the checked arithmetic.
add_executable(runtime_tests
  runtime/checked_arithmetic_test.cc
  runtime/correct_pow_test.cc
  runtime/termination_test.cc
)
target_link_libraries(runtime_tests PRIVATE recharge_runtime GTest::gmock_main)

# The stand-ins of the floating-point <charconv> conversions, which write
# with {fmt} and read with fast_float (header-only), against this C++
# library's own: compared here, on this machine's system headers.
if(NOT CMAKE_CROSSCOMPILING)
  find_path(FMT_INCLUDE_DIR fmt/format.h)
  find_path(FAST_FLOAT_INCLUDE_DIR fast_float/fast_float.h)
  if(FMT_INCLUDE_DIR AND FAST_FLOAT_INCLUDE_DIR)
    target_sources(runtime_tests PRIVATE runtime/double_chars_test.cc)
    target_include_directories(runtime_tests SYSTEM PRIVATE ${FMT_INCLUDE_DIR}
                               ${FAST_FLOAT_INCLUDE_DIR})
  else()
    message(STATUS "{fmt} or fast_float not found (libfmt-dev, libfast-float-dev): the "
                   "<charconv> stand-ins are not compared with the library's")
  endif()
endif()
gtest_discover_tests(runtime_tests)

# CorrectPow and CorrectExp against MPFR, bit for bit, on a bounded random
# sample (`correct_rounding_check --full` runs the long one). MPFR and GMP are
# needed by this check alone; it is not built for another processor.
if(NOT CMAKE_CROSSCOMPILING)
  find_path(MPFR_INCLUDE_DIR mpfr.h)
  find_library(MPFR_LIBRARY mpfr)
  find_library(GMP_LIBRARY gmp)
  if(MPFR_INCLUDE_DIR AND MPFR_LIBRARY AND GMP_LIBRARY)
    add_executable(correct_rounding_check runtime/correct_rounding_check.cc)
    target_include_directories(correct_rounding_check PRIVATE ${MPFR_INCLUDE_DIR})
    target_link_libraries(correct_rounding_check PRIVATE recharge_runtime ${MPFR_LIBRARY}
                          ${GMP_LIBRARY})
    add_test(NAME CorrectRounding COMMAND correct_rounding_check)
  else()
    message(STATUS "MPFR or GMP not found: the correct-rounding check is skipped")
  endif()
endif()
