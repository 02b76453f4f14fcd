#include "platform/win32/Win32PeerWindows.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <string>

#include "platform/win32/WideText.h"

namespace monitor::win32 {
namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)); }

WindowHandle FromHwnd(HWND window) {
  return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

UINT TimeoutMs(std::chrono::milliseconds timeout) {
  return static_cast<UINT>(
      std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, std::numeric_limits<UINT>::max()));
}

}  // namespace

std::optional<WindowHandle> Win32PeerWindows::FindByClass(std::u16string_view className) {
  const HWND found = FindWindowW(ToWide(className).c_str(), nullptr);
  if (found == nullptr) {
    return std::nullopt;
  }
  return FromHwnd(found);
}

void Win32PeerWindows::Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
  PostMessageW(ToHwnd(window), message, wParam, lParam);
}

// A window that has stopped answering is given up at once rather than
// after the whole time-out.
bool Win32PeerWindows::Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam, std::chrono::milliseconds timeout) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(ToHwnd(window), message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             TimeoutMs(timeout), &result) != 0;
}

// A minimised window would come forward as a button only.
void Win32PeerWindows::BringToForeground(WindowHandle window) {
  const HWND hwnd = ToHwnd(window);
  if (IsIconic(hwnd)) {
    ShowWindow(hwnd, SW_RESTORE);
  }
  SetForegroundWindow(hwnd);
}

}  // namespace monitor::win32
