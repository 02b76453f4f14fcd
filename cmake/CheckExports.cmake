# Fails unless the DLL exports exactly the expected names, undecorated.
#   cmake -DOBJDUMP=... -DLIBRARY=... "-DEXPECTED=a;b" -P CheckExports.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${LIBRARY}")
endif()
# The name table follows its heading, one "[ n] Name" row per export, and
# ends at an empty line. Brackets would confuse CMake's lists: the rows
# become names before anything is split.
string(REGEX REPLACE ".*\\[Ordinal/Name Pointer\\] Table\n" "" rest "${dump}")
string(REGEX MATCH "^([^\n]+\n)*" table "${rest}")
string(REGEX REPLACE "[ \t]*\\[ *[0-9]+\\] ([^\n]+)\n" "\\1;" exported "${table}")
list(FILTER exported EXCLUDE REGEX "^$")
list(SORT exported)
set(expected ${EXPECTED})
list(SORT expected)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "${LIBRARY} exports [${exported}], not [${expected}]")
endif()
