# The installed tree: libraries, tools, headers, import libraries, the CMake and
# pkg-config packages, manual pages; on Windows also the client folder of the archive.
include(CMakePackageConfigHelpers)

install(FILES ${PROJECT_SOURCE_DIR}/talk/tarnel.h ${PROJECT_SOURCE_DIR}/mail/ziromail.h
              ${PROJECT_SOURCE_DIR}/voicemsg/lumvox.h ${PROJECT_SOURCE_DIR}/update/unzdll/unzdll.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)

if(WIN32)
  # Everything the client's executable needs beside it.
  set(client_files $<TARGET_FILE:tarnel> $<TARGET_FILE:ziromail> $<TARGET_FILE:lumvox>
                   $<TARGET_FILE:unzdll> $<TARGET_FILE:UpDate>)
  foreach(place IN ITEMS ${CMAKE_INSTALL_BINDIR} .)
    if(place STREQUAL ".")
      set(component COMPONENT ClientFolder EXCLUDE_FROM_ALL)
    else()
      set(component COMPONENT Runtime)
    endif()
    install(PROGRAMS ${client_files} DESTINATION ${place} ${component})
    # The banners sit in res\ beside UpDate.exe, as in the build.
    install(DIRECTORY $<TARGET_FILE_DIR:UpDate>/res DESTINATION ${place} ${component})
  endforeach()
  install(PROGRAMS $<TARGET_FILE:g729a> $<TARGET_FILE:tarnel-call>
          DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Tools)
  install(FILES ${ZIRO_IMPORT_LIBRARIES} DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
else()
  set_target_properties(tarnel ziromail unzdll PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  install(TARGETS tarnel ziromail unzdll
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development)
  install(TARGETS g729a tarnel-call lumvox UpDate update-publish
          RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Tools)
  include(manual_pages.cmake)
endif()

# find_package(Ziro): imported targets for the libraries of this platform.
if(WIN32)
  set(ZIRO_CONFIG_PLATFORM windows)
  set(ZIRO_CONFIG_LIBRARIES "Tarnel|Tarnel.dll|Tarnel;ZiroMail|ZiroMail.dll|ZiroMail;Lumvox|Lumvox.dll|Lumvox;Unzdll|UNZDLL.DLL|UNZDLL")
else()
  set(ZIRO_CONFIG_PLATFORM linux)
  set(ZIRO_CONFIG_LIBRARIES "")
  foreach(pair Tarnel|tarnel ZiroMail|ziromail Unzdll|unzdll)
    string(REPLACE "|" ";" pair ${pair})
    list(GET pair 0 component)
    list(GET pair 1 library)
    list(APPEND ZIRO_CONFIG_LIBRARIES
         "${component}|lib${library}.so.${PROJECT_VERSION}|lib${library}.so.${PROJECT_VERSION_MAJOR}")
  endforeach()
endif()
set(ZIRO_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Ziro)
configure_package_config_file(${CMAKE_CURRENT_SOURCE_DIR}/ZiroConfig.cmake.in
  ${PROJECT_BINARY_DIR}/generated/ZiroConfig.cmake INSTALL_DESTINATION ${ZIRO_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/generated/ZiroConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/generated/ZiroConfig.cmake
              ${PROJECT_BINARY_DIR}/generated/ZiroConfigVersion.cmake
        DESTINATION ${ZIRO_PACKAGE_DIR} COMPONENT Development)

# pkg-config, relative to the file's own place so that any prefix works.
file(RELATIVE_PATH ZIRO_PC_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" ZIRO_PC_PREFIX "${ZIRO_PC_PREFIX}")
set(pkg_configs
  "tarnel|Tarnel real-time voice talk: RTP voice with G.729 Annex A through host callbacks"
  "ziromail|ZiroMail: HTML mail with inline images and attachments over SMTP AUTH LOGIN"
  "unzdll|UNZDLL: extraction of ZIP archives, the updater's unzip library")
if(WIN32)
  list(APPEND pkg_configs "lumvox|Lumvox: the modal voice-message dialog")
endif()
foreach(entry IN LISTS pkg_configs)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 ZIRO_PC_NAME)
  list(GET entry 1 ZIRO_PC_DESCRIPTION)
  set(pc ${PROJECT_BINARY_DIR}/generated/pkgconfig/${ZIRO_PC_NAME}.pc)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/library.pc.in ${pc} @ONLY)
  install(FILES ${pc} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
endforeach()
