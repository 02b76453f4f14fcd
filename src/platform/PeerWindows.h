// Top-level windows of other programs, found by class and spoken to with
// window messages.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace monitor {

// An opaque window handle.
enum class WindowHandle : std::uintptr_t {};

class PeerWindows {
 public:
  virtual ~PeerWindows() = default;

  // The top-level window of that class (any caption), if one exists.
  virtual std::optional<WindowHandle> FindByClass(std::u16string_view className) = 0;
  virtual void Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) = 0;
  // Sends and waits until the window has handled the message, but never
  // longer than the time-out, and not at all for a window that is not
  // responding. False when it was not handled.
  virtual bool Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                    std::chrono::milliseconds timeout) = 0;
  virtual void BringToForeground(WindowHandle window) = 0;
};

}  // namespace monitor
