#include "win32/VirtualMouseProcess.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "platform/win32/VirtualHidBus.h"

namespace monitor::win32 {
namespace {

// Guards against a program that never comes up or never ends; not a speed
// requirement.
constexpr DWORD kProcessWaitMs = 30000;
constexpr DWORD kStartPollMs = 20;

std::wstring ExecutablePath() {
  const wchar_t* path = _wgetenv(L"MONITOR_VIRTUAL_MOUSE_EXE");
  std::wstring windowsPath = path != nullptr ? path : L"";
  std::replace(windowsPath.begin(), windowsPath.end(), L'/', L'\\');
  return windowsPath;
}

UniqueHandle Launch(const std::wstring& arguments) {
  const std::wstring executable = ExecutablePath();
  if (executable.empty()) {
    ADD_FAILURE() << "MONITOR_VIRTUAL_MOUSE_EXE does not name the virtual mouse program";
    return {};
  }
  std::wstring commandLine = L"\"" + executable + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &started)) {
    ADD_FAILURE() << "cannot start the virtual mouse, error " << GetLastError();
    return {};
  }
  CloseHandle(started.hThread);
  return UniqueHandle(started.hProcess);
}

DWORD WaitForExit(HANDLE process) {
  if (WaitForSingleObject(process, kProcessWaitMs) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "the virtual mouse did not end";
    TerminateProcess(process, 99);
    WaitForSingleObject(process, kProcessWaitMs);
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process, &code);
  return code;
}

}  // namespace

VirtualMouseProcess::~VirtualMouseProcess() {
  if (process_) {
    Quit();
  }
}

bool VirtualMouseProcess::Start(const std::wstring& options) {
  process_ = Launch(L"run " + options);
  if (!process_) {
    return false;
  }
  VirtualHidBus bus;
  for (DWORD waited = 0; waited < kProcessWaitMs; waited += kStartPollMs) {
    if (!bus.EnumerateInterfaces().empty()) {
      return true;
    }
    if (WaitForSingleObject(process_.get(), kStartPollMs) == WAIT_OBJECT_0) {
      ADD_FAILURE() << "the virtual mouse ended at start";
      process_.reset();
      return false;
    }
  }
  ADD_FAILURE() << "the virtual mouse did not come up";
  return false;
}

DWORD VirtualMouseProcess::Quit() {
  EXPECT_EQ(Command(L"quit"), 0u);
  const DWORD code = WaitForExit(process_.get());
  process_.reset();
  return code;
}

DWORD VirtualMouseProcess::Command(const std::wstring& arguments) {
  const UniqueHandle process = Launch(arguments);
  return process ? WaitForExit(process.get()) : STILL_ACTIVE;
}

}  // namespace monitor::win32
