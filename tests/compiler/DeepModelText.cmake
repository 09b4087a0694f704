# cmake -DPROGRAM=... -DKIND=sum|statements -DOUT=... [-DOPTION=...] -P DeepModelText.cmake:
# writes a model whose SIM section holds a sum of 100,000 terms or 100,000
# statements and runs PROGRAM on it with the 1 MiB stack of the Winelib
# programs. The sum must be refused with message 20204, the statements must
# compile (and run); neither may crash.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
if(KIND STREQUAL "sum")
  string(REPEAT "NOW+" 99999 terms)
  set(sim "y = ${terms}NOW;\n")
else()
  string(REPEAT "RANDOMIZE(1);\n" 100000 statements)
  set(sim "y = NOW;\n${statements}")
endif()
file(WRITE ${OUT}/deep.kyt
  "BLOCK B;\nOUTPUT y;\nSTATE x = 0.;\nSIM\n${sim}x .= -x;\nENDSIM\nENDBLOCK B;\n"
  "BLOCK Stop;\nPROCEDURE stop;\n  QUIT;\nENDPROCEDURE\nINIT\n  SCHEDULE stop AT 0.05;\nENDINIT\nENDBLOCK Stop;\n"
  "CIRCUIT C;\nUSE B AS b\nENDUSE\nUSE Stop AS s\nENDUSE\nSAVE b.y;\nENDCIRCUIT C;\n")
execute_process(COMMAND sh -c "ulimit -s 1024 && exec \"$0\" $1 \"$2\"" ${PROGRAM} "${OPTION}" ${OUT}/deep.kyt
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(KIND STREQUAL "sum")
  if(NOT result MATCHES "^[0-9]+$" OR result EQUAL 0 OR result GREATER 127)
    message(FATAL_ERROR "${PROGRAM} on a sum of 100,000 terms: ${result}\n${errors}")
  endif()
  if(NOT errors MATCHES "Zeile 5[^\n]*\nDie Anweisung ist zu umfangreich: mehr als 1000 Operatoren oder Ebenen!")
    message(FATAL_ERROR "no message 20204 at line 5:\n${errors}")
  endif()
elseif(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} on 100,000 statements: ${result}\n${errors}")
endif()
