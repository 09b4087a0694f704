# cmake -DLOCALEDEF=... -DDIR=... -P MakeLocale.cmake: builds the German
# locale into DIR for the tests; a failure only means the locale tests skip.
file(MAKE_DIRECTORY ${DIR})
execute_process(COMMAND ${LOCALEDEF} -i de_DE -f UTF-8 ${DIR}/de_DE.UTF-8
  OUTPUT_QUIET ERROR_QUIET)
file(TOUCH ${DIR}/made)
