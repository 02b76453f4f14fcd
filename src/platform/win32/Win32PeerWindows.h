// The peer window port on the Windows window manager.
#pragma once

#include "platform/PeerWindows.h"

namespace monitor::win32 {

class Win32PeerWindows final : public PeerWindows {
 public:
  std::optional<WindowHandle> FindByClass(std::u16string_view className) override;
  void Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  bool Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
            std::chrono::milliseconds timeout) override;
  void BringToForeground(WindowHandle window) override;
};

}  // namespace monitor::win32
