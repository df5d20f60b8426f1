# GoogleTest: Debian's package natively, built from source for the cross build.
# Without the tests, CTest still runs the checks of the built binaries.
option(ZIRO_BUILD_TESTS "Build the tests" ON)
enable_testing()
if(NOT ZIRO_BUILD_TESTS)
  return()
endif()

if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# The environment of a machine without sound devices: ALSA has none configured, and under
# Wine the sound server cannot be reached either.
if(CMAKE_CROSSCOMPILING)
  set(ZIRO_NO_SOUND_ENVIRONMENT "ALSA_CONFIG_PATH=/dev/null;PULSE_SERVER=unix:/nonexistent")
else()
  set(ZIRO_NO_SOUND_ENVIRONMENT "ALSA_CONFIG_PATH=/dev/null")
endif()

# The cross build's end-to-end tests sign their updates with the native build's
# update-publish (a Linux tool); where it is not built, the signed runs are left out.
if(CMAKE_CROSSCOMPILING)
  set(ZIRO_NATIVE_PUBLISHER ${CMAKE_SOURCE_DIR}/build/linux/bin/update-publish CACHE FILEPATH
      "the native update-publish that the Windows end-to-end tests sign with")
endif()

# The executables whose tests exercise threads; the ThreadSanitizer run builds
# and runs only these (target `threaded-tests`, label `threaded`).
add_custom_target(threaded-tests)

# ziro_gtest(name SOURCES a.cpp ... LIBS lib ... [ENVIRONMENT VAR=value ...]
#            [RUNNER command ...] [THREADED]): one test executable; natively each case
# is a CTest test (and takes one environment variable only). RUNNER wraps every run
# (and, for the cross build, goes before the Wine runner).
function(ziro_gtest name)
  cmake_parse_arguments(T "THREADED" "" "SOURCES;LIBS;ENVIRONMENT;RUNNER" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  # The code under test keeps its optimisation; the test code itself builds a third
  # faster without any.
  target_compile_options(${name} PRIVATE $<$<CONFIG:Release,RelWithDebInfo>:-O0>)
  if(T_THREADED)
    add_dependencies(threaded-tests ${name})
  endif()
  if(T_RUNNER)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${T_RUNNER};${CMAKE_CROSSCOMPILING_EMULATOR}")
  endif()
  if(CMAKE_CROSSCOMPILING)
    # One Wine process per executable: starting Wine per case would dominate the run.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300 ENVIRONMENT "${T_ENVIRONMENT}")
    if(T_THREADED)
      set_tests_properties(${name} PROPERTIES LABELS threaded)
    endif()
  else()
    # An empty value would vanish from the list and shift the pairs after it.
    set(properties TIMEOUT 120)
    if(T_ENVIRONMENT)
      list(APPEND properties ENVIRONMENT "${T_ENVIRONMENT}")
    endif()
    if(T_THREADED)
      list(APPEND properties LABELS threaded)
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
  endif()
endfunction()
