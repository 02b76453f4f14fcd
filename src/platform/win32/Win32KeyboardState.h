// The keyboard state port on the system's asynchronous key state.
#pragma once

#include "platform/InputHooks.h"

namespace monitor::win32 {

class Win32KeyboardState final : public KeyboardState {
 public:
  bool IsKeyDown(std::uint16_t virtualKey) override;
  std::uint32_t LastInputTime() override;
};

}  // namespace monitor::win32
