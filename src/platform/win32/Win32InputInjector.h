// The input injector port on SendInput: one event per call, which the
// system marks as injected.
#pragma once

#include "platform/InputInjector.h"

namespace monitor::win32 {

class Win32InputInjector final : public InputInjector {
 public:
  bool Key(std::uint8_t virtualKey, bool down, bool extended) override;
  bool Button(MouseButton button, bool down) override;
  bool Wheel(int delta) override;
};

}  // namespace monitor::win32
