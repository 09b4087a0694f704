# Winelib targets are ordinary CMake targets whose compile and link commands a
# launcher hands to wineg++ instead of g++; the portable libraries link into
# them unchanged.
if(NOT KYT_WINELIB)
  return()
endif()

set(_wine_dirs /usr/lib/wine /usr/lib64/wine /usr/lib/x86_64-linux-gnu/wine /usr/bin)
find_program(WINEGXX NAMES wineg++ wineg++-stable PATHS ${_wine_dirs} REQUIRED)
find_program(WINE_WRC NAMES wrc wrc-stable PATHS ${_wine_dirs} REQUIRED)
find_program(WINE_LOADER NAMES wine64 wine PATHS ${_wine_dirs} REQUIRED)
find_program(WINE_SERVER NAMES wineserver wineserver64 PATHS ${_wine_dirs} REQUIRED)
find_program(XVFB_PROGRAM NAMES Xvfb REQUIRED)

set(KYT_WINELIB_LAUNCHER "${CMAKE_SOURCE_DIR}/cmake/winelib-launch;${CMAKE_CXX_COMPILER};${CMAKE_C_COMPILER};${WINEGXX}")
string(REPLACE ";" " " KYT_WINELIB_LAUNCHER "${KYT_WINELIB_LAUNCHER}")

# Marks a target (library or program) as built by wineg++.
function(kyt_winelib_target target)
  set_target_properties(${target} PROPERTIES
    RULE_LAUNCH_COMPILE "${KYT_WINELIB_LAUNCHER}"
    RULE_LAUNCH_LINK "${KYT_WINELIB_LAUNCHER}")
  get_target_property(_type ${target} TYPE)
  if(_type STREQUAL "EXECUTABLE")
    # wineg++ writes NAME.exe (the loader stub) and NAME.exe.so beside it.
    # The program is a shared object loaded by wine: -fPIC, not CMake's -fPIE.
    set_target_properties(${target} PROPERTIES SUFFIX ".exe" POSITION_INDEPENDENT_CODE OFF)
  endif()
  target_compile_options(${target} PRIVATE -fPIC)
endfunction()

# Compiles the resource scripts of a Winelib program with wrc and links them in.
function(kyt_winelib_resources target)
  set(_res_files)
  foreach(_rc IN LISTS ARGN)
    get_filename_component(_name ${_rc} NAME_WE)
    if(IS_ABSOLUTE ${_rc})
      set(_src ${_rc})
    else()
      set(_src ${CMAKE_CURRENT_SOURCE_DIR}/${_rc})
    endif()
    set(_res ${CMAKE_CURRENT_BINARY_DIR}/${target}_${_name}.res)
    add_custom_command(OUTPUT ${_res}
      COMMAND ${WINE_WRC} -I${CMAKE_CURRENT_SOURCE_DIR} -I${CMAKE_SOURCE_DIR} -I${CMAKE_BINARY_DIR}/generated -o ${_res} ${_src}
      DEPENDS ${_src}
      COMMENT "wrc ${_rc}")
    list(APPEND _res_files ${_res})
  endforeach()
  add_custom_target(${target}_resources DEPENDS ${_res_files})
  # Resource scripts may include the generated string table.
  add_dependencies(${target}_resources kyt_strings)
  if(TARGET kyt_framework_rc)
    add_dependencies(${target}_resources kyt_framework_rc)
  endif()
  add_dependencies(${target} ${target}_resources)
  target_link_libraries(${target} PRIVATE ${_res_files})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${_res_files})
endfunction()

# A test that runs a Winelib program under wine, on the Xvfb display and in the
# throw-away prefix that the wine fixture of tests/ provides.
function(kyt_add_wine_test name target)
  # The shared wine test support writes its pictures through libpng.
  target_link_libraries(${target} PRIVATE testpng)
  add_test(NAME ${name}
    COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/run-wine-test ${CMAKE_BINARY_DIR}/wine $<TARGET_FILE:${target}>.so ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 120
    ENVIRONMENT "KYT_WINE_LOADER=${WINE_LOADER};KYT_WINE_SERVER=${WINE_SERVER}")
endfunction()
