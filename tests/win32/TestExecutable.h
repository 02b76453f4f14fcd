// This test executable seen from outside: its path, and the roles it takes
// when a test starts it again as a child process to watch an adapter from
// another process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/UniqueHandle.h"

namespace monitor::win32 {

// The full path of the running executable, as its process image names it.
std::wstring TestExecutablePath();

// Started with one of these as its only argument, the executable plays that
// role and exits with the returned code.
inline constexpr std::string_view kWriteDebugLineRole = "--write-debug-line";
int WriteDebugLineAsChild();
inline constexpr std::string_view kShowErrorRole = "--show-error";
int ShowErrorAsChild();
inline constexpr std::string_view kReportVersionRole = "--report-windows-version";
int ReportVersionAsChild();
// The shell starts programs without arguments, so this role comes through
// the environment the child inherits.
inline constexpr std::string_view kWriteLaunchMarkerRole = "--write-launch-marker";
int WriteLaunchMarkerAsChild();
inline constexpr const wchar_t* kRoleVariable = L"MONITOR_ADAPTER_TESTS_ROLE";
// Loads the hook library as the monitor does; the loading's outcome is the
// exit code.
inline constexpr std::string_view kLoadHookLibraryRole = "--load-hook-library";
int LoadHookLibraryAsChild();

// The role a child was started in; nullopt when it runs the tests.
std::optional<std::string> ChildRole(int argc, char** argv);

// Starts that executable in a role, in the current folder given (this
// process's when empty); an empty handle when it cannot start.
UniqueHandle StartInRole(const std::wstring& executable, std::string_view role,
                         const std::wstring& currentFolder = {});

// The exit code of a child that ended within the wait; a child still
// running then is ended, and the result is nullopt.
std::optional<DWORD> ExitCodeWithin(HANDLE process, DWORD waitMs);

}  // namespace monitor::win32
