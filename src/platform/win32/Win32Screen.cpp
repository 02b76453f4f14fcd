#include "platform/win32/Win32Screen.h"

#include <windows.h>

#include <array>
#include <string_view>

#include "platform/win32/WideText.h"

namespace monitor::win32 {

ScreenSize Win32Screen::PrimaryScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// Empty when no window has the foreground.
std::u16string Win32Screen::ForegroundWindowTitle() {
  constexpr int kLongestTitle = 255;
  std::array<wchar_t, kLongestTitle + 1> title{};
  const HWND foreground = GetForegroundWindow();
  if (foreground == nullptr) {
    return {};
  }
  const int length = GetWindowTextW(foreground, title.data(), static_cast<int>(title.size()));
  return FromWide(std::wstring_view(title.data(), static_cast<std::size_t>(length > 0 ? length : 0)));
}

}  // namespace monitor::win32
