// This test executable seen from outside: its path, and the role it takes
// when a test starts it again as a child process to watch an adapter from
// another process.
#pragma once

#include <string>
#include <string_view>

namespace monitor::win32 {

// The full path of the running executable, as its process image names it.
std::wstring TestExecutablePath();

// Started with this as its only argument, the executable writes the debug
// output test's line through the adapter and exits with the returned code.
inline constexpr std::string_view kWriteDebugLineRole = "--write-debug-line";
int WriteDebugLineAsChild();

}  // namespace monitor::win32
