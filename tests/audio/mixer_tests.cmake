# The mixer classes on scripted mixers, and the platform's mixer.
add_library(ziro_mixer_script STATIC scripted_mixer.cpp mixer_layouts.cpp)
target_link_libraries(ziro_mixer_script PUBLIC ziro_mixer)

ziro_gtest(mixer_test SOURCES mixer_volume_test.cpp mixer_source_test.cpp LIBS ziro_mixer ziro_mixer_script)
if(NOT WIN32)
  ziro_gtest(alsa_mixer_elements_test SOURCES alsa_mixer_elements_test.cpp LIBS ziro_mixer)
endif()

if(WIN32)
  ziro_sound_server_test(winmm_mixer_test SOURCES winmm_mixer_test.cpp LIBS ziro_mixer)
else()
  add_library(ziro_pulse_observer STATIC pulse_observer.cpp)
  target_include_directories(ziro_pulse_observer PUBLIC ${CMAKE_SOURCE_DIR})
  ziro_sound_server_test(alsa_mixer_pulse_test SOURCES alsa_mixer_pulse_test.cpp LIBS ziro_mixer ziro_pulse_observer)
endif()
