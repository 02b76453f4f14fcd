#include "platform/win32/Win32Shell.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/win32/WideText.h"

namespace monitor::win32 {

bool Win32Shell::Launch(std::u16string_view program, std::u16string_view workingFolder) {
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", ToWide(program).c_str(), nullptr,
                                         ToWide(workingFolder).c_str(), SW_SHOW);
  // The old 16-bit convention: values up to 32 are error codes.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void Win32Shell::ShowError(std::u16string_view text, std::u16string_view caption) {
  MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(caption).c_str(),
              MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace monitor::win32
