# cmake -DKYTPARSE=... -DMODEL=... -DGOLDEN=... -DOUT=... -P CompareCompiledText.cmake:
# compiles MODEL with the console driver (in the environment's locale) and
# compares the PI listing it wrote with the golden file, byte for byte.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${KYTPARSE} --compile --listing ${OUT}/listing.pi --symbols
    --tempdir ${OUT} --stamp "Oct 21 1997 11:33:53" ${MODEL}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "kytparse --compile ${MODEL} failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/listing.pi ${GOLDEN}
  RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${OUT}/listing.pi differs from ${GOLDEN}")
endif()
