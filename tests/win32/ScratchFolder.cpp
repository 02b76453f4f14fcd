#include "win32/ScratchFolder.h"

#include <windows.h>

namespace monitor::win32 {

const std::wstring& ScratchFolder() {
  static const std::wstring folder = [] {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring path = std::wstring(temp) + L"MonitorAdapterTests-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount64());
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
  }();
  return folder;
}

}  // namespace monitor::win32
