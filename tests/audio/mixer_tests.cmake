# The mixer classes on scripted mixers, and the platform's mixer.
add_library(ziro_mixer_script STATIC scripted_mixer.cpp mixer_layouts.cpp)
target_link_libraries(ziro_mixer_script PUBLIC ziro_mixer)

ziro_gtest(mixer_test SOURCES mixer_volume_test.cpp mixer_source_test.cpp LIBS ziro_mixer ziro_mixer_script)
if(NOT WIN32)
  ziro_gtest(alsa_mixer_elements_test SOURCES alsa_mixer_elements_test.cpp LIBS ziro_mixer)
endif()

# Tests against a sound server of their own: scripts/with-sound-server starts
# and stops it around the test program, in a private runtime folder.

# ziro_sound_server_test(name SOURCES ... LIBS ...): one test program, run as one test.
function(ziro_sound_server_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/scripts/with-sound-server
             ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/scripts/with-sound-server $<TARGET_FILE:${name}>)
    # The sound server's client library keeps its caches until exit, and its
    # locking is invisible to ThreadSanitizer.
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "ASAN_OPTIONS=detect_leaks=0;TSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/audio/sound_server.tsan")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

if(WIN32)
  ziro_sound_server_test(winmm_mixer_test SOURCES winmm_mixer_test.cpp LIBS ziro_mixer)
else()
  add_library(ziro_pulse_observer STATIC pulse_observer.cpp)
  target_include_directories(ziro_pulse_observer PUBLIC ${CMAKE_SOURCE_DIR})
  ziro_sound_server_test(alsa_mixer_pulse_test SOURCES alsa_mixer_pulse_test.cpp LIBS ziro_mixer ziro_pulse_observer)
endif()
