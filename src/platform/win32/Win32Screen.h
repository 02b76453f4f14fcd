// The screen port: the primary screen's size and the foreground window's title.
#pragma once

#include "platform/OverlayWindow.h"

namespace monitor::win32 {

class Win32Screen final : public Screen {
 public:
  ScreenSize PrimaryScreenSize() override;
  std::u16string ForegroundWindowTitle() override;
};

}  // namespace monitor::win32
