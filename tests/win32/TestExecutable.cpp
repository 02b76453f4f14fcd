#include "win32/TestExecutable.h"

namespace monitor::win32 {

std::wstring TestExecutablePath() {
  std::wstring path(32768, L'\0');  // the longest path Windows knows
  auto length = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(GetCurrentProcess(), 0, path.data(), &length)) {
    return {};
  }
  path.resize(length);
  return path;
}

std::optional<std::string> ChildRole(int argc, char** argv) {
  if (argc == 2) {
    return std::string(argv[1]);
  }
  wchar_t role[64] = {};
  const DWORD length = GetEnvironmentVariableW(kRoleVariable, role, 64);
  if (length == 0 || length >= 64) {
    return std::nullopt;
  }
  std::string ascii;  // role names are ASCII
  for (DWORD i = 0; i < length; ++i) {
    ascii += static_cast<char>(role[i]);
  }
  return ascii;
}

UniqueHandle StartInRole(const std::wstring& executable, std::string_view role,
                         const std::wstring& currentFolder) {
  std::wstring commandLine = L"\"" + executable + L"\" " + std::wstring(role.begin(), role.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &started)) {
    return {};
  }
  CloseHandle(started.hThread);
  return UniqueHandle(started.hProcess);
}

std::optional<DWORD> ExitCodeWithin(HANDLE process, DWORD waitMs) {
  if (WaitForSingleObject(process, waitMs) != WAIT_OBJECT_0) {
    TerminateProcess(process, 1);
    return std::nullopt;
  }
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeProcess(process, &exitCode);
  return exitCode;
}

}  // namespace monitor::win32
