# cmake -DPYTHON=... -DTABLES=<codec/tables> -DOUT=<dir> -P check_tables.cmake
# Fails when the committed tables.h/tables.cpp differ from what gen_tables.py makes now.
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${PYTHON} ${TABLES}/gen_tables.py ${TABLES}/tables.txt ${OUT}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gen_tables.py failed (${rc})")
endif()
foreach(name tables.h tables.cpp)
  file(SHA256 ${TABLES}/${name} committed)
  file(SHA256 ${OUT}/${name} generated)
  if(NOT committed STREQUAL generated)
    message(FATAL_ERROR "${name} is out of date: rerun codec/tables/gen_tables.py")
  endif()
endforeach()
