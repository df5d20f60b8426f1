# Wave devices and their backends.
ziro_gtest(wave_devices_test
  SOURCES wave_buffer_queue_test.cpp wave_device_factory_test.cpp virtual_wave_devices_test.cpp
  LIBS ziro_wave_devices ziro_wave_fakes THREADED)
ziro_gtest(wave_in_out_test
  SOURCES wave_in_test.cpp wave_out_test.cpp wave_loopback_test.cpp wave_platform_test.cpp
  LIBS ziro_audio ziro_wave_fakes THREADED)
if(WIN32)
  ziro_gtest(winmm_wave_devices_test SOURCES winmm_wave_devices_test.cpp LIBS ziro_wave_devices)
else()
  ziro_gtest(alsa_wave_devices_test SOURCES alsa_wave_devices_test.cpp LIBS ziro_wave_devices THREADED)
  ziro_sound_server_test(alsa_wave_pulse_test SOURCES alsa_wave_pulse_test.cpp LIBS ziro_wave_devices)
endif()
