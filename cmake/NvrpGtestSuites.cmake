# Writes the CTest registration of a GoogleTest program: one test per test suite, which runs
# that suite's tests in one process. Run after each link of the program:
#   cmake -DPROGRAM=<program> -DPREFIX=<test name prefix> -DTIMEOUT=<seconds>
#         -DOUTPUT=<file> -P NvrpGtestSuites.cmake
execute_process(COMMAND "${PROGRAM}" --gtest_list_tests
                OUTPUT_VARIABLE listing RESULT_VARIABLE status TIMEOUT 60)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --gtest_list_tests failed (${status}):\n${listing}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(registration "")
foreach(line IN LISTS lines)
  # A suite's line starts in the first column and ends its name with a dot; its tests follow
  # indented. Disabled suites are left out, as GoogleTest leaves them out.
  if(line MATCHES "^([A-Za-z0-9_/]+)\\.")
    set(suite "${CMAKE_MATCH_1}")
    if(NOT suite MATCHES "^DISABLED_")
      string(APPEND registration
             "add_test([=[${PREFIX}${suite}]=] [=[${PROGRAM}]=] [=[--gtest_filter=${suite}.*]=])\n"
             "set_tests_properties([=[${PREFIX}${suite}]=] PROPERTIES TIMEOUT ${TIMEOUT})\n")
    endif()
  endif()
endforeach()
file(WRITE "${OUTPUT}" "${registration}")
