#include "win32/TestExecutable.h"

#include <windows.h>

#include "platform/win32/UniqueHandle.h"

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

std::optional<unsigned long> RunInRole(const std::wstring& executable, std::string_view role,
                                       const std::wstring& currentFolder) {
  // Guards against a child that never finishes; not a speed requirement.
  constexpr DWORD kChildWaitMs = 30000;
  std::wstring commandLine = L"\"" + executable + L"\" ";
  commandLine.append(role.begin(), role.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentFolder.c_str(), &startup, &started)) {
    return std::nullopt;
  }
  const UniqueHandle process(started.hProcess);
  const UniqueHandle thread(started.hThread);
  DWORD exitCode = 0;
  if (WaitForSingleObject(process.get(), kChildWaitMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.get(), &exitCode)) {
    TerminateProcess(process.get(), 1);
    return std::nullopt;
  }
  return exitCode;
}

}  // namespace monitor::win32
