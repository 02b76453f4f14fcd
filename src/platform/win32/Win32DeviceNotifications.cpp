#include "platform/win32/Win32DeviceNotifications.h"

#include <dbt.h>
#include <objbase.h>

#include <cstdint>
#include <optional>
#include <utility>

#include "platform/win32/WideText.h"

namespace monitor::win32 {
namespace {

// The same 32 bytes on x86_64 and i686: the GUID is 4-byte aligned and the
// one-character name is padded to a multiple of four.
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32);

// Null when the class is not a "{...}" GUID or the system refuses.
HDEVNOTIFY Register(HWND window, const std::u16string& interfaceClass) {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  const std::wstring classText = ToWide(interfaceClass);
  if (FAILED(IIDFromString(classText.c_str(), &filter.dbcc_classguid))) {
    return nullptr;
  }
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  return RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

// Only arrival and removal broadcasts point at a header; the broadcast
// posted when listening starts carries -1.
std::optional<std::uint32_t> HeaderDeviceType(LPARAM data) {
  if (data == 0 || data == -1) {
    return std::nullopt;
  }
  return reinterpret_cast<const DEV_BROADCAST_HDR*>(data)->dbch_devicetype;
}

}  // namespace

Win32DeviceNotifications::Win32DeviceNotifications()
    : window_(CreateHiddenWindow(L"MonitorDeviceNotifications", &WindowProcedure, HiddenWindowKind::TopLevel,
                                 this)) {}

bool Win32DeviceNotifications::Listen(const std::u16string& interfaceClass,
                                      std::function<void(const DeviceChange&)> onChange) {
  onChange_ = std::move(onChange);
  registration_.reset(Register(window_.get(), interfaceClass));
  // Through the queue like the system's own broadcasts, so that it reaches
  // the callback once the message loop runs.
  PostMessageW(window_.get(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, -1);
  return static_cast<bool>(registration_);
}

void Win32DeviceNotifications::Deliver(WPARAM event, LPARAM data) {
  if (!onChange_) {
    return;
  }
  const DeviceChange change{static_cast<std::uint32_t>(event), [data] { return HeaderDeviceType(data); }};
  try {
    onChange_(change);
  } catch (...) {
    // An exception cannot travel through the system's message dispatch; the
    // logic above reports its own failures.
  }
}

LRESULT CALLBACK Win32DeviceNotifications::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                           LPARAM lParam) noexcept {
  Win32DeviceNotifications* const self = HiddenWindowOwner<Win32DeviceNotifications>(window);
  if (message != WM_DEVICECHANGE || self == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  self->Deliver(wParam, lParam);
  return 0;
}

}  // namespace monitor::win32
