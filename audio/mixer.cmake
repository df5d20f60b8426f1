# The system mixer: the mixer classes over a winmm-shaped seam (portable, so
# that tests drive them everywhere), and the platform's mixer: winmm on
# Windows, ALSA's simple mixer elsewhere.
set(mixer_sources
  mixer/mixer_devices.cpp
  mixer/volume_percent.cpp
  mixer/mixer.cpp
  mixer/orvik_mixer.cpp
  mixer/record_source_selector.cpp
  mixer/speaker_volume.cpp
  mixer/winmm_mixer.cpp)
if(WIN32)
  list(APPEND mixer_sources win/winmm_mixer_api.cpp)
else()
  list(APPEND mixer_sources linux/alsa_mixer_elements.cpp linux/alsa_mixer.cpp)
endif()

add_library(ziro_mixer STATIC ${mixer_sources})
target_include_directories(ziro_mixer PUBLIC ${CMAKE_SOURCE_DIR})
if(WIN32)
  target_link_libraries(ziro_mixer PUBLIC winmm)
else()
  target_link_libraries(ziro_mixer PUBLIC ziro_alsa)
endif()
