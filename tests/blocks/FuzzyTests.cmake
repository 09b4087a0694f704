# Fuzzy blocks: kernel, text format and the FUZZY library.
add_executable(fuzzy_tests
  FuzzyKernelTest.cpp
  FuzzyTextTest.cpp
  FuzzyModuleTest.cpp
  FuzzyDdeCommandsTest.cpp)
target_compile_definitions(fuzzy_tests PRIVATE FUZZY_FIXTURE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/fuzzy")
target_include_directories(fuzzy_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/foundation)
target_link_libraries(fuzzy_tests PRIVATE blocks GTest::gtest_main)
gtest_discover_tests(fuzzy_tests)

# The independent implementation the kernel is compared with (libfuzzylite),
# only in this one test and in the benchmark.
find_path(FUZZYLITE_INCLUDE_DIR fl/Headers.h REQUIRED)
find_library(FUZZYLITE_LIBRARY fuzzylite REQUIRED)
add_executable(fuzzy_oracle_test FuzzyOracleTest.cpp)
target_compile_definitions(fuzzy_oracle_test PRIVATE FUZZY_FIXTURE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/fuzzy")
target_include_directories(fuzzy_oracle_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/foundation)
target_include_directories(fuzzy_oracle_test SYSTEM PRIVATE ${FUZZYLITE_INCLUDE_DIR})
target_link_libraries(fuzzy_oracle_test PRIVATE blocks ${FUZZYLITE_LIBRARY} GTest::gtest)
gtest_discover_tests(fuzzy_oracle_test)

# The benchmark: prints evaluations per second, no test.
add_executable(bench_fuzzy FuzzyBench.cpp)
target_compile_definitions(bench_fuzzy PRIVATE FUZZY_FIXTURE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/fuzzy")
target_include_directories(bench_fuzzy SYSTEM PRIVATE ${FUZZYLITE_INCLUDE_DIR})
target_link_libraries(bench_fuzzy PRIVATE blocks ${FUZZYLITE_LIBRARY})
