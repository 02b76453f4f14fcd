# Natively we use Debian's installed GoogleTest; the cross builds compile it
# from the sources Debian ships, with the same cross compiler.
if(CMAKE_CROSSCOMPILING)
  set(MONITOR_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources for cross builds")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  # Its own CMake files define the GTest:: targets.
  add_subdirectory(${MONITOR_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
