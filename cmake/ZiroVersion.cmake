# The set's version (project()) where code and resources read it: a generated header for
# the tools' --version, and a VERSIONINFO resource for each Windows binary.
set(ZIRO_TEMPLATES ${CMAKE_CURRENT_LIST_DIR}/templates)
set(ZIRO_PRODUCT_NAME "Ziro messenger components")
set(ZIRO_PRODUCT_NAME_ZH "Ziro 即时通讯组件")
configure_file(${ZIRO_TEMPLATES}/ziro_version.h.in
               ${CMAKE_BINARY_DIR}/generated/ziro_version.h @ONLY)
add_library(ziro_version INTERFACE)
target_include_directories(ziro_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

# ziro_version_resource(target DESCRIPTION english DESCRIPTION_ZH chinese): file and
# product version, product name and description in Simplified Chinese and English, so
# that the file's properties show the same version as the tools and packages.
function(ziro_version_resource target)
  cmake_parse_arguments(V "" "DESCRIPTION;DESCRIPTION_ZH" "" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(ZIRO_FILE_TYPE VFT_DLL)
  else()
    set(ZIRO_FILE_TYPE VFT_APP)
  endif()
  set(ZIRO_FILE_NAME "$<TARGET_FILE_NAME:${target}>")
  set(ZIRO_DESCRIPTION "${V_DESCRIPTION}")
  set(ZIRO_DESCRIPTION_ZH "${V_DESCRIPTION_ZH}")
  set(ZIRO_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${PROJECT_VERSION_TWEAK}")
  set(rc ${CMAKE_BINARY_DIR}/generated/version/${target}_version.rc)
  configure_file(${ZIRO_TEMPLATES}/version.rc.in ${rc}.in @ONLY)
  # The file name is known once generation has run.
  file(GENERATE OUTPUT ${rc} INPUT ${rc}.in)
  target_sources(${target} PRIVATE ${rc})
endfunction()
