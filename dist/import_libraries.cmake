# Windows: the import libraries hosts link, made from each DLL's .def
# (scripts/import-libs): Name.lib for MSVC, libname.dll.a for MinGW.
if(NOT WIN32)
  return()
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(import_arch x86_64)
else()
  set(import_arch i686)
endif()
set(ZIRO_IMPORT_LIBRARIES "")
foreach(target tarnel ziromail lumvox unzdll)
  get_target_property(def ${target} ZIRO_DEF_FILE)
  get_target_property(name ${target} OUTPUT_NAME)
  string(TOLOWER ${name} lower)
  set(outputs ${PROJECT_BINARY_DIR}/lib/${name}.lib ${PROJECT_BINARY_DIR}/lib/lib${lower}.dll.a)
  add_custom_command(OUTPUT ${outputs}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/import-libs ${import_arch} ${def} ${PROJECT_BINARY_DIR}/lib
            ${name} ${CMAKE_DLLTOOL}
    DEPENDS ${def} ${PROJECT_SOURCE_DIR}/scripts/import-libs
    COMMENT "Import libraries of ${name}.dll")
  list(APPEND ZIRO_IMPORT_LIBRARIES ${outputs})
endforeach()
add_custom_target(ziro_import_libraries ALL DEPENDS ${ZIRO_IMPORT_LIBRARIES})
