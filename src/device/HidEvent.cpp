#include "device/HidEvent.h"

#include <chrono>

namespace monitor {

TxaHIDEvent::TxaHIDEvent(std::unique_ptr<DeviceNotifications> notifications, MainLoop& mainLoop)
    : notifications_(std::move(notifications)),
      FUsbGuid(kHidInterfaceClass),
      FTimerToStartMonitor(mainLoop, std::chrono::milliseconds(1500)) {
  notifications_->Listen(FUsbGuid, [this](const DeviceChange& change) { HandleDeviceChange(change); });
  FTimerToStartMonitor.OnTimer = [this] { TimerToStartMonitor(); };
  FTimerToStartMonitor.SetEnabled(true);
}

TxaHIDEvent::~TxaHIDEvent() {
  notifications_.reset();  // no broadcast reaches a component being destroyed
}

void TxaHIDEvent::TimerToStartMonitor() {
  FTimerToStartMonitor.SetEnabled(false);  // it fires once
  Raise(OnDeviceArrival);
}

void TxaHIDEvent::Raise(const TNotifyEvent& event) {
  if (event) {
    event(*this);
  }
}

// Only arrivals and removals of a device interface count; other broadcasts
// (volumes, ports) are ignored, and the tree-change broadcast carries no
// header to read.
void TxaHIDEvent::HandleDeviceChange(const DeviceChange& change) {
  switch (change.event) {
    case kDeviceArrival:
      if (change.headerDeviceType() == kDeviceTypeInterface) {
        Raise(OnDeviceArrival);
      }
      break;
    case kDeviceRemoveComplete:
      if (change.headerDeviceType() == kDeviceTypeInterface) {
        Raise(OnDeviceRemove);
      }
      break;
    case kDeviceNodesChanged:
      Raise(OnDeviceChange);
      break;
    default:
      break;
  }
}

}  // namespace monitor
