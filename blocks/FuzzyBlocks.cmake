# Fuzzy controllers. Model, text format and kernel use no service of the main
# program, so the fuzzy-block editor links them too (fuzzycore); the FUZZY
# run-time library is part of blocks.
find_package(BISON 3.6 REQUIRED)
find_package(FLEX REQUIRED)
bison_target(FuzzyGrammar FuzzyGrammar.y ${CMAKE_CURRENT_BINARY_DIR}/FuzzyGrammar.cpp
  DEFINES_FILE ${CMAKE_CURRENT_BINARY_DIR}/FuzzyGrammar.hpp)
flex_target(FuzzyScanner FuzzyScanner.l ${CMAKE_CURRENT_BINARY_DIR}/FuzzyScanner.cpp)
add_flex_bison_dependency(FuzzyScanner FuzzyGrammar)
set_source_files_properties(${BISON_FuzzyGrammar_OUTPUTS} ${FLEX_FuzzyScanner_OUTPUTS}
  PROPERTIES COMPILE_OPTIONS "-Wno-unused-parameter;-Wno-sign-compare;-Wno-unused-function")
add_library(fuzzycore STATIC
  FuzzyBlock.cpp
  FuzzyBlockWriter.cpp
  FuzzyKernel.cpp
  FuzzyParser.cpp
  ${BISON_FuzzyGrammar_OUTPUTS}
  ${FLEX_FuzzyScanner_OUTPUTS})
target_include_directories(fuzzycore PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(fuzzycore PUBLIC parserbase foundation)
target_sources(blocks PRIVATE FuzzyModule.cpp FuzzyDdeCommands.cpp)
target_link_libraries(blocks PUBLIC fuzzycore engine)
