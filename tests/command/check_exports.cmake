# Checks that a shared library's dynamic symbol table defines exactly the expected exports.
# Usage: cmake -DLIBRARY=<path> -P check_exports.cmake
set(expected
    CLOSE DISPLAY EJREPORT GETDEPTTABLE GETDRSTATUS GETEJFILES GETLOTTERYRCPTSTATUS GETSTATUS
    GETVATTABLE OPEN OPENDR PAY PRINTFR PRINTNFR PRINTXR PRINTZR REPRINTFR SET SETDATETIME
    SETDEPTTABLE SETVATTABLE SysAllocString SysAllocStringLen SysFreeString SysStringLen VERSION)

execute_process(COMMAND nm -D --defined-only "${LIBRARY}" OUTPUT_VARIABLE listing
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(names)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  list(APPEND names "${name}")
endforeach()
list(SORT names)
list(SORT expected)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exports differ\n  expected: ${expected}\n  found:    ${names}")
endif()
