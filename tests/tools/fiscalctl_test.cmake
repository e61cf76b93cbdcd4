# fiscalctl end to end against the test build of the library (recording TEST_DEVICE).
# Arguments: -DFISCALCTL=<program> -DLIBRARY=<test library> -DWORK_DIR=<scratch directory>.
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(ENV{NVRP_HOST_DIR} "${WORK_DIR}")
unset(ENV{NVRP_LIBRARY})

set(failures 0)

# Runs fiscalctl and checks its exit code and that stdout and stderr match every given regex.
# NOTHING_ON_STDOUT: nothing may be printed there (no command was sent).
function(check_run name)
  cmake_parse_arguments(RUN "NOTHING_ON_STDOUT" "EXIT;INPUT" "ARGS;STDOUT;STDERR" ${ARGN})
  set(input_option)
  if(RUN_INPUT)
    set(input_option INPUT_FILE "${RUN_INPUT}")
  endif()
  execute_process(COMMAND "${FISCALCTL}" ${RUN_ARGS} ${input_option}
                  RESULT_VARIABLE exit_code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(problems)
  if(NOT exit_code STREQUAL RUN_EXIT)
    list(APPEND problems "exit code ${exit_code}, expected ${RUN_EXIT}")
  endif()
  foreach(pattern IN LISTS RUN_STDOUT)
    if(NOT out MATCHES "${pattern}")
      list(APPEND problems "stdout lacks /${pattern}/")
    endif()
  endforeach()
  foreach(pattern IN LISTS RUN_STDERR)
    if(NOT err MATCHES "${pattern}")
      list(APPEND problems "stderr lacks /${pattern}/")
    endif()
  endforeach()
  if(RUN_NOTHING_ON_STDOUT AND NOT out STREQUAL "")
    list(APPEND problems "stdout not empty")
  endif()
  if(problems)
    message(SEND_ERROR "${name}: ${problems}\n--- stdout:\n${out}\n--- stderr:\n${err}")
    math(EXPR count "${failures} + 1")
    set(failures ${count} PARENT_SCOPE)
  else()
    message(STATUS "ok: ${name}")
  endif()
endfunction()

set(library --library "${LIBRARY}")
file(WRITE "${WORK_DIR}/open.xml"
     "<Request><Driver>TEST_DEVICE</Driver><Handle>0</Handle><LogId>LOGID</LogId></Request>")
file(WRITE "${WORK_DIR}/close.xml" "<Request><Handle>0</Handle></Request>")
file(WRITE "${WORK_DIR}/close7.xml" "<Request><Handle>7</Handle></Request>")

# One run opens a device, then closes it through the handle OPEN returned (CLOSE's request,
# read from standard input, names handle 0); --set renames the log.
check_run("OPEN then CLOSE in one run" EXIT 0 INPUT "${WORK_DIR}/close.xml"
  ARGS ${library} --set LogId=ctl OPEN "${WORK_DIR}/open.xml" CLOSE -
  STDOUT "== OPEN [^\n]*open.xml\n<Handle>1</Handle>\n<Error>False</Error>\n<ErrorText></ErrorText>\n<LogFileName>[^<]*/LogFiles/FiscalPrinter/TEST_DEVICE_ctl_[0-9]+\\.log</LogFileName>\nError text: \nResult: 0\n"
         "== CLOSE -\n<Error>False</Error>\n.*Result: 0\n$")

check_run("a failing command exits 1 with its error" EXIT 1
  ARGS ${library} CLOSE "${WORK_DIR}/close7.xml"
  STDOUT "<Error>True</Error>\n<ErrorText>Printer Handle not found</ErrorText>"
         "Error text: Printer Handle not found\nResult: -1\n")

check_run("VERSION takes a driver name" EXIT 0 ARGS ${library} VERSION TEST_DEVICE
  STDOUT "== VERSION TEST_DEVICE\nVersion [^\n]+\nError text: \nResult: 0\n")

check_run("a missing request file sends nothing" EXIT 1 NOTHING_ON_STDOUT
  ARGS ${library} OPEN "${WORK_DIR}/open.xml" PRINTFR "${WORK_DIR}/no-such-request.xml"
  STDERR "cannot read request file '[^']*no-such-request.xml': No such file")

check_run("a library that cannot be loaded" EXIT 1 NOTHING_ON_STDOUT
  ARGS --library "${WORK_DIR}/no-such-library.so" VERSION
  STDERR "cannot load the library: .*no-such-library.so")

check_run("no ReceiptImage to save" EXIT 1 ARGS ${library} --save-image "${WORK_DIR}/r.jpg"
  VERSION TEST_DEVICE
  STDERR "no answer held a ReceiptImage")
if(EXISTS "${WORK_DIR}/r.jpg")
  message(SEND_ERROR "a picture file was written without a picture")
  math(EXPR failures "${failures} + 1")
endif()

# Usage errors: exit 2, the reason, nothing sent. Each case: name|reason|arguments.
set(usage_cases
  "no command|no command given|"
  "unknown command|unknown command: open|open"
  "unknown option|unknown option: --verbose|--verbose VERSION"
  "setting without value|--set expects NAME=VALUE, got: Handle|--set Handle VERSION"
  "option without value|missing value for --save-image|VERSION --save-image"
  "two inputs for one command|unexpected argument [(]a command expected[)]: extra.xml|CLOSE a.xml extra.xml"
  "standard input twice|standard input can be read only once|OPEN CLOSE -")
foreach(case IN LISTS usage_cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 reason)
  list(GET fields 2 text)
  separate_arguments(arguments UNIX_COMMAND "${text}")
  check_run("usage: ${name}" EXIT 2 NOTHING_ON_STDOUT ARGS ${library} ${arguments}
    STDERR "fiscalctl: ${reason}\nTry 'fiscalctl --help'")
endforeach()
check_run("usage: --set names an element no request has" EXIT 2 NOTHING_ON_STDOUT
  ARGS ${library} --set Port=8080 OPEN "${WORK_DIR}/open.xml"
  STDERR "--set names an element that no request has: Port")

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} fiscalctl check(s) failed")
endif()
