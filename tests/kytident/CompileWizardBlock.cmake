# cmake -DKYTPARSE=... -DBLOCK_FILE=... -DNAME=... -DOUT=... -P CompileWizardBlock.cmake:
# puts the wizard's block into a circuit between a source of u and y, as kyt
# inserts it into the library "Local", and compiles the circuit with the
# console driver.
file(READ ${BLOCK_FILE} block)
file(WRITE ${OUT}
  "BLOCK Quelle;\nOUTPUT u \"Eingang\"; y \"Ausgang\";\nSIM\n  u = 1;\n  y = 0.5;\nENDSIM\nENDBLOCK Quelle;\n\n"
  "FROM \"Local\" \"${NAME}\"\n"
  "${block}\n"
  "CIRCUIT Identifikation;\nUSE Quelle AS Q\nENDUSE\nFROM \"Local\"\nUSE ${NAME} AS I\n$ BLOCKLIB Local\nENDUSE\n"
  "CONNECT Q.u TO I.u;\nCONNECT Q.y TO I.y;\nSAVE I.err;\nENDCIRCUIT Identifikation;\n")
execute_process(COMMAND ${KYTPARSE} --compile ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "kytparse --compile ${OUT} failed: ${result}")
endif()
