# Runs kytsim on a model and compares what it prints:
#   cmake -DKYTSIM=... -DMODEL=... "-DOPTIONS=--IALG 1 ..." [-DWORKDIR=...]
#         [-DEXPECTED_OUT=file] [-DEXPECTED_ERR=regex] [-DEXPECT_FAILURE=ON]
#         -P RunKytsim.cmake
# Standard output must equal EXPECTED_OUT byte for byte, standard error must
# match EXPECTED_ERR, and the exit status must be 0 (not 0 with
# EXPECT_FAILURE).
separate_arguments(_options UNIX_COMMAND "${OPTIONS}")
if(NOT WORKDIR)
  set(WORKDIR .)
endif()
execute_process(COMMAND ${KYTSIM} ${MODEL} ${_options}
  WORKING_DIRECTORY ${WORKDIR}
  OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _rc)
message("exit status ${_rc}\nstdout:\n${_out}\nstderr:\n${_err}")
if(EXPECT_FAILURE)
  if(_rc EQUAL 0)
    message(FATAL_ERROR "kytsim succeeded where it should have failed")
  endif()
elseif(NOT _rc EQUAL 0)
  message(FATAL_ERROR "kytsim ended with ${_rc}")
endif()
if(EXPECTED_OUT)
  file(READ ${EXPECTED_OUT} _expected)
  if(NOT _out STREQUAL _expected)
    message(FATAL_ERROR "standard output differs from ${EXPECTED_OUT}:\n${_expected}")
  endif()
endif()
if(EXPECTED_ERR AND NOT _err MATCHES "${EXPECTED_ERR}")
  message(FATAL_ERROR "standard error does not match: ${EXPECTED_ERR}")
endif()
