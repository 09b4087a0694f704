# Neural nets: kernel, net-file scanner and grammar, net and pattern files,
# and the NN run-time library (which the registry does not attach).
find_package(BISON 3.6 REQUIRED)
find_package(FLEX REQUIRED)
bison_target(NetGrammar NetGrammar.y ${CMAKE_CURRENT_BINARY_DIR}/NetGrammar.cpp
  DEFINES_FILE ${CMAKE_CURRENT_BINARY_DIR}/NetGrammar.hpp
  COMPILE_FLAGS "-Wall")
flex_target(NetScanner NetScanner.l ${CMAKE_CURRENT_BINARY_DIR}/NetScanner.cpp)
add_flex_bison_dependency(NetScanner NetGrammar)
# Generated code: its own comparisons and unused helpers are not ours.
set_source_files_properties(${BISON_NetGrammar_OUTPUTS} ${FLEX_NetScanner_OUTPUTS}
  PROPERTIES COMPILE_OPTIONS "-Wno-unused-parameter;-Wno-sign-compare;-Wno-unused-function;-Wno-free-nonheap-object")
target_sources(blocks PRIVATE
  NetHost.cpp
  NetKernel.cpp
  NetFiles.cpp
  NetParsers.cpp
  NNLibrary.cpp
  ${BISON_NetGrammar_OUTPUTS}
  ${FLEX_NetScanner_OUTPUTS})
target_include_directories(blocks PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(blocks PUBLIC parserbase)
