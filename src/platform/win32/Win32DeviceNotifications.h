// The device notifications port on a hidden window registered for the
// interface class. The window is top-level, never shown, rather than
// message-only: the system sends its device-tree and volume broadcasts
// only to top-level windows, and the port promises every broadcast.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/DeviceNotifications.h"
#include "platform/win32/HiddenWindow.h"
#include "platform/win32/UniqueResource.h"

namespace monitor::win32 {

// Lives on the main thread, whose message loop delivers the broadcasts. A
// change's headerDeviceType may be asked for only during the callback: the
// header belongs to the message. An exception from the callback ends there.
class Win32DeviceNotifications final : public DeviceNotifications {
 public:
  // Throws PlatformError when the hidden window cannot be created.
  Win32DeviceNotifications();

  bool Listen(const std::u16string& interfaceClass,
              std::function<void(const DeviceChange&)> onChange) override;

  // The hidden window, for tests that send it broadcasts.
  [[nodiscard]] HWND Window() const { return window_.get(); }

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void Deliver(WPARAM event, LPARAM data);

  std::function<void(const DeviceChange&)> onChange_;
  UniqueWindow window_;
  // Declared after the window, so that it is unregistered before the window goes.
  UniqueResource<HDEVNOTIFY, &UnregisterDeviceNotification> registration_;
};

}  // namespace monitor::win32
