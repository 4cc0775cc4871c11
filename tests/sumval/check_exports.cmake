# Fails unless the library's dynamic symbol table defines exactly the three
# checksum functions.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(names)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* ([^ ]+)$" "\\1" name "${line}")
  list(APPEND names ${name})
endforeach()
list(SORT names)
set(expected GetFileChecksum GetStringChecksum VerifyMethodFile)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exported: '${names}', expected: '${expected}'")
endif()
