# libFuzzer targets: the `fuzz` preset builds the whole code with clang, ASan,
# UBSan and coverage feedback, and each parser of outside input gets a target.
# Each target is also a CTest test that fuzzes for ZIRO_FUZZ_SECONDS, starting
# from its committed seeds (regression inputs included) and the corpus the
# earlier runs of this build tree grew. tests/fuzz/run-long-fuzz runs them longer.
option(ZIRO_FUZZ "Build the libFuzzer targets (clang)" OFF)
set(ZIRO_FUZZ_SECONDS 15 CACHE STRING "Seconds CTest fuzzes each target")
if(NOT ZIRO_FUZZ)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "the fuzz targets need clang's libFuzzer (use the fuzz preset)")
endif()
set(ziro_fuzz_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
add_compile_options(${ziro_fuzz_sanitizers} -fsanitize=fuzzer-no-link)
add_link_options(-fsanitize=address,undefined)
add_custom_target(fuzzers)

# ziro_fuzzer(name SOURCES a.cpp ... LIBS lib ... SEEDS folder [DICT file] MAX_LEN bytes)
# The options the test uses are also written to FUZZ_BUILD/fuzzers/<name>.args,
# one per line, for the long-run script.
function(ziro_fuzzer name)
  cmake_parse_arguments(F "" "SEEDS;DICT;MAX_LEN" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzzers ${name})

  set(options -max_len=${F_MAX_LEN} -timeout=10 -rss_limit_mb=2048)
  if(F_DICT)
    list(APPEND options -dict=${F_DICT})
  endif()
  set(corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
  set(crashes ${CMAKE_BINARY_DIR}/fuzz-crashes)
  file(MAKE_DIRECTORY ${corpus} ${crashes})
  string(REPLACE ";" "\n" lines "${options};-artifact_prefix=${crashes}/${name}-;${corpus};${F_SEEDS}")
  file(WRITE ${CMAKE_BINARY_DIR}/fuzzers/${name}.args "${lines}\n")
  add_test(NAME ${name}
           COMMAND ${name} -max_total_time=${ZIRO_FUZZ_SECONDS} -print_final_stats=1 ${options}
                   -artifact_prefix=${crashes}/${name}- ${corpus} ${F_SEEDS})
  math(EXPR limit "${ZIRO_FUZZ_SECONDS} * 2 + 60")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${limit} LABELS fuzz)
endfunction()
