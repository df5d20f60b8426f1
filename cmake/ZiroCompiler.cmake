# Warnings, character sets and the static runtime for the shipped Windows binaries.
add_compile_options(-Wall -Wextra)
# Sources are UTF-8; narrow literals are stored in the GBK code page the products speak
# (code page 936). The compiler is told GB18030, GBK's superset, which gives the same
# bytes for every character GBK has and also encodes the few that the C++ library's
# own headers use. Clang, used only for the fuzz targets, accepts no execution
# character set but UTF-8: nothing a fuzz target checks depends on it.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8>)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=GB18030>)
endif()

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # Nothing of the toolchain ships beside our binaries.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  add_compile_options(-fvisibility=hidden)
endif()

# Exported C functions of a shared library: a .def on Windows, a version script natively.
# A test checks the built library: exactly the .def's names exported, and on Windows
# nothing but system DLLs imported.
# The .def also makes the shipped import libraries (dist/); the one the linker writes
# serves only the build's own programs.
function(ziro_exports target def_file map_file)
  set_property(TARGET ${target} PROPERTY ZIRO_DEF_FILE ${def_file})
  if(WIN32)
    target_sources(${target} PRIVATE ${def_file})
    set_target_properties(${target} PROPERTIES PREFIX "" ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib/linker)
    add_test(NAME ${target}_dll_exports_and_imports
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-dll ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}> ${def_file})
    set_tests_properties(${target}_dll_exports_and_imports PROPERTIES TIMEOUT 60 LABELS binary)
  else()
    target_link_options(${target} PRIVATE -Wl,--version-script=${map_file})
    # Under libFuzzer the sanitizer runtime lives in the program that loads the library.
    if(NOT ZIRO_FUZZ)
      target_link_options(${target} PRIVATE -Wl,--no-undefined)
    endif()
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map_file})
    add_test(NAME ${target}_so_exports COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-so $<TARGET_FILE:${target}> ${def_file})
    set_tests_properties(${target}_so_exports PROPERTIES TIMEOUT 60 LABELS binary)
  endif()
endfunction()
