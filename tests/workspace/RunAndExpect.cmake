# Runs PROGRAM with ARG and checks its exit code (EXIT: "0" or "nonzero") and
# that its output (standard output and error) matches every regular expression in EXPECT (a list).
execute_process(COMMAND ${PROGRAM} ${ARG}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(EXIT STREQUAL "0" AND NOT rc EQUAL 0)
  message(FATAL_ERROR "exit code ${rc}, expected 0")
elseif(EXIT STREQUAL "nonzero" AND (rc EQUAL 0 OR NOT rc MATCHES "^[0-9]+$"))
  message(FATAL_ERROR "exit code ${rc}, expected a failure code")
endif()
foreach(re IN LISTS EXPECT)
  if(NOT "${out}${err}" MATCHES "${re}")
    message(FATAL_ERROR "output does not match: ${re}")
  endif()
endforeach()
