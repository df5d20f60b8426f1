# Packages: on Windows a ZIP of the client folder (what ZiroIM2.exe needs beside it and
# nothing of the toolchain); on Linux the Debian packages ziro (libraries, tools) and
# ziro-dev (headers, CMake and pkg-config files). `cpack` in the build tree writes them
# into packages/.
set(CPACK_PACKAGE_NAME ziro)
set(CPACK_PACKAGE_VENDOR "Ziro")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Ziro messenger developers <developers@ziro.example>")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 2)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL ClientFolder)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_ARCHIVE_FILE_NAME ziro-client-${PROJECT_VERSION}-win64)
  else()
    set(CPACK_ARCHIVE_FILE_NAME ziro-client-${PROJECT_VERSION}-win32)
  endif()
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
  include(CPack)
  return()
endif()

# Debian: each package carries its copyright and changelog.
foreach(package ziro ziro-dev)
  if(package STREQUAL "ziro")
    set(component DebianRuntime)
  else()
    set(component DebianDevelopment)
  endif()
  set(ZIRO_DEBIAN_PACKAGE ${package})
  set(docs ${PROJECT_BINARY_DIR}/generated/debian/${package})
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog.in ${docs}/changelog @ONLY)
  add_custom_command(OUTPUT ${docs}/changelog.gz COMMAND gzip -9nf -k ${docs}/changelog
                     DEPENDS ${docs}/changelog)
  add_custom_target(ziro_debian_changelog_${package} ALL DEPENDS ${docs}/changelog.gz)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/debian/copyright ${docs}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
          COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()

# The libraries' shlibs, and the ldconfig trigger (CPack's maintainer scripts also run it).
set(control ${PROJECT_BINARY_DIR}/generated/debian/control)
file(WRITE ${control}/shlibs
  "libtarnel ${PROJECT_VERSION_MAJOR} ziro (>= ${PROJECT_VERSION})\n"
  "libunzdll ${PROJECT_VERSION_MAJOR} ziro (>= ${PROJECT_VERSION})\n"
  "libziromail ${PROJECT_VERSION_MAJOR} ziro (>= ${PROJECT_VERSION})\n")
file(WRITE ${control}/triggers "activate-noawait ldconfig\n")

# Each package's description starts with its own summary line.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
set(CPACK_COMPONENTS_ALL Runtime Tools DebianRuntime Development DebianDevelopment)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Depends from the libraries' own: libssl3 for ZiroMail's TLS among them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_RUNTIMEPACKAGE_PACKAGE_NAME ziro)
set(CPACK_DEBIAN_RUNTIMEPACKAGE_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIMEPACKAGE_PACKAGE_CONTROL_EXTRA ${control}/shlibs ${control}/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_DEVPACKAGE_PACKAGE_NAME ziro-dev)
set(CPACK_DEBIAN_DEVPACKAGE_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVPACKAGE_PACKAGE_DEPENDS "ziro (= ${PROJECT_VERSION})")

set(CPACK_DEBIAN_RUNTIMEPACKAGE_DESCRIPTION
"voice talk, mail and unzip libraries and tools of the Ziro messenger
The libraries a Ziro messenger host loads on Linux: Tarnel (real-time voice
talk, RTP with G.729 Annex A, volume and mute on the ALSA mixer), ZiroMail
(HTML mail with inline images over SMTP AUTH LOGIN, TLS on ports 465 and 587
through OpenSSL's libssl3) and UNZDLL (ZIP extraction for the updater). With
the tools g729a, tarnel-call, lumvox, UpDate and update-publish (signed
update packages and manifests for the updater).")
set(CPACK_DEBIAN_DEVPACKAGE_DESCRIPTION
"development files of the Ziro messenger components
Headers of the Tarnel, ZiroMail, Lumvox and UNZDLL C interfaces, the CMake
package Ziro with its imported targets, and pkg-config files.")
include(CPack)

cpack_add_component_group(RuntimePackage)
cpack_add_component_group(DevPackage)
foreach(component Runtime Tools DebianRuntime)
  cpack_add_component(${component} GROUP RuntimePackage)
endforeach()
foreach(component Development DebianDevelopment)
  cpack_add_component(${component} GROUP DevPackage)
endforeach()
