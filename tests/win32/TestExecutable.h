// This test executable seen from outside: its path, and the role it takes
// when a test starts it again as a child process to watch an adapter from
// another process.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace monitor::win32 {

// The full path of the running executable, as its process image names it.
std::wstring TestExecutablePath();

// Started with this as its only argument, the executable writes the debug
// output test's line through the adapter and exits with the returned code.
inline constexpr std::string_view kWriteDebugLineRole = "--write-debug-line";
int WriteDebugLineAsChild();

// Started with this, the executable loads the hook library as the monitor
// does and exits with the loading's outcome as its code.
inline constexpr std::string_view kLoadHookLibraryRole = "--load-hook-library";
int LoadHookLibraryAsChild();

// Starts a copy of the executable (or the executable itself) in a role and
// in a current folder, and waits for its exit code; nothing when it could
// not be started or did not end in time.
std::optional<unsigned long> RunInRole(const std::wstring& executable, std::string_view role,
                                       const std::wstring& currentFolder);

}  // namespace monitor::win32
