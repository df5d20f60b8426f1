# Wave capture and playback: the device interface with its backends, and
# CWaveIn/CWaveOut on top of it.
set(wave_backend_sources
  wave_device_factory.cpp
  wave_buffer_queue.cpp
  virtual/pcm_stream.cpp
  virtual/real_time_wave_clock.cpp
  virtual/virtual_stream.cpp
  virtual/virtual_wave_devices.cpp
  virtual/wave_test_clock.cpp)
if(WIN32)
  list(APPEND wave_backend_sources win/winmm_wave_devices.cpp)
else()
  list(APPEND wave_backend_sources linux/alsa_pcm.cpp linux/alsa_stream.cpp linux/alsa_wave_devices.cpp)
endif()

add_library(ziro_wave_devices STATIC ${wave_backend_sources})
target_include_directories(ziro_wave_devices PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ziro_wave_devices PUBLIC ziro_platform)
if(WIN32)
  target_link_libraries(ziro_wave_devices PUBLIC winmm)
else()
  target_link_libraries(ziro_wave_devices PUBLIC ziro_alsa)
endif()

add_library(ziro_audio STATIC wave_in.cpp wave_out.cpp)
target_include_directories(ziro_audio PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ziro_audio PUBLIC ziro_wave_devices ziro_audio_queue ziro_codec ziro_platform)
