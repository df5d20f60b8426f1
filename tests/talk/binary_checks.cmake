# The shipped library exports exactly its C functions and imports only system DLLs.
if(WIN32)
  add_test(NAME tarnel_dll_exports_and_imports
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-dll $<TARGET_FILE:tarnel> ${CMAKE_SOURCE_DIR}/talk/tarnel.def)
  set_tests_properties(tarnel_dll_exports_and_imports PROPERTIES TIMEOUT 60)
else()
  add_test(NAME tarnel_so_exports
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-so $<TARGET_FILE:tarnel> ${CMAKE_SOURCE_DIR}/talk/tarnel.def)
  set_tests_properties(tarnel_so_exports PROPERTIES TIMEOUT 60)
endif()
