# Neural nets: net-file language, kernel and training, net and pattern files,
# the NN library against a fake host and a fake error plot.
add_executable(nn_tests
  NNParserTest.cpp
  NNKernelTest.cpp
  NNFilesTest.cpp
  NNLibraryTest.cpp)
target_compile_definitions(nn_tests PRIVATE NN_FIXTURE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/nn")
target_include_directories(nn_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/foundation)
target_link_libraries(nn_tests PRIVATE blocks GTest::gtest_main)
gtest_discover_tests(nn_tests)
