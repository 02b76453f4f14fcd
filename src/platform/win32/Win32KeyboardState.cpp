#include "platform/win32/Win32KeyboardState.h"

#include <windows.h>

namespace monitor::win32 {

// The high bit tells whether the key is down now, whatever thread has the input.
bool Win32KeyboardState::IsKeyDown(std::uint16_t virtualKey) {
  return (static_cast<unsigned>(GetAsyncKeyState(virtualKey)) & 0x8000u) != 0;
}

std::uint32_t Win32KeyboardState::LastInputTime() {
  LASTINPUTINFO info{};
  info.cbSize = sizeof info;
  return GetLastInputInfo(&info) ? info.dwTime : 0;
}

}  // namespace monitor::win32
