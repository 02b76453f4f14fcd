#include "platform/win32/Win32InputInjector.h"

#include <windows.h>

namespace monitor::win32 {
namespace {

// SendInput answers with the number of events it put in the input stream;
// 0 when something (another desktop, a higher-integrity foreground) refused.
bool Send(INPUT input) { return SendInput(1, &input, sizeof input) == 1; }

DWORD ButtonFlag(MouseButton button, bool down) {
  switch (button) {
    case MouseButton::Left:
      return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    case MouseButton::Right:
      return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    case MouseButton::Middle:
      return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
  }
  return 0;
}

}  // namespace

// The scan code stays 0: the system fills in the virtual key's own.
bool Win32InputInjector::Key(std::uint8_t virtualKey, bool down, bool extended) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = (down ? 0u : KEYEVENTF_KEYUP) | (extended ? KEYEVENTF_EXTENDEDKEY : 0u);
  return Send(input);
}

// No movement: the button acts where the pointer is.
bool Win32InputInjector::Button(MouseButton button, bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = ButtonFlag(button, down);
  return Send(input);
}

// The delta is signed; the field holding it is not.
bool Win32InputInjector::Wheel(int delta) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_WHEEL;
  input.mi.mouseData = static_cast<DWORD>(delta);
  return Send(input);
}

}  // namespace monitor::win32
