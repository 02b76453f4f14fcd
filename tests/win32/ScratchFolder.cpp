#include "win32/ScratchFolder.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace monitor::win32 {

const std::u16string& ScratchFolder() {
  static const std::u16string folder = [] {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring path = std::wstring(temp) + L"MonitorAdapterTests-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount64());
    CreateDirectoryW(path.c_str(), nullptr);
    return FromWide(path);
  }();
  return folder;
}

}  // namespace monitor::win32
