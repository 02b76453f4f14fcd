# Warnings for our own targets only; third-party code keeps its own settings.
add_library(monitor_warnings INTERFACE)
if(MSVC)
  target_compile_options(monitor_warnings INTERFACE /W4 /permissive-)
  if(MONITOR_WARNINGS_AS_ERRORS)
    target_compile_options(monitor_warnings INTERFACE /WX)
  endif()
else()
  target_compile_options(monitor_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
  if(MONITOR_WARNINGS_AS_ERRORS)
    target_compile_options(monitor_warnings INTERFACE -Werror)
  endif()
endif()
