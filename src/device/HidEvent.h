// TxaHIDEvent: tells its owner when an interface of the watched class
// arrives or goes, and when the device tree changed, and reports one
// arrival on its own 1500 ms after it was made, so that the owner opens
// the devices that were present at start.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/DeviceNotifications.h"
#include "platform/MainLoop.h"
#include "platform/Timer.h"

namespace monitor {

inline constexpr std::u16string_view kHidInterfaceClass = u"{4d1e55b2-f16f-11cf-88cb-001111000030}";

class TxaHIDEvent {
 public:
  using TNotifyEvent = std::function<void(TxaHIDEvent& Sender)>;

  // Owns the notifications: they end with the component.
  TxaHIDEvent(std::unique_ptr<DeviceNotifications> notifications, MainLoop& mainLoop);
  ~TxaHIDEvent();
  TxaHIDEvent(const TxaHIDEvent&) = delete;
  TxaHIDEvent& operator=(const TxaHIDEvent&) = delete;

  TNotifyEvent OnDeviceArrival;
  TNotifyEvent OnDeviceRemove;
  TNotifyEvent OnDeviceChange;

  // The interface class watched.
  [[nodiscard]] const std::u16string& UsbGuid() const { return FUsbGuid; }

 private:
  void HandleDeviceChange(const DeviceChange& change);
  void TimerToStartMonitor();
  void Raise(const TNotifyEvent& event);

  std::unique_ptr<DeviceNotifications> notifications_;
  std::u16string FUsbGuid;
  TTimer FTimerToStartMonitor;
};

}  // namespace monitor
