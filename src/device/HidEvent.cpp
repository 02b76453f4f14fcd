#include "device/HidEvent.h"

#include <chrono>

namespace monitor {

TxaHIDEvent::TxaHIDEvent(std::unique_ptr<DeviceNotifications> notifications, MainLoop& mainLoop)
    : mainLoop_(mainLoop), notifications_(std::move(notifications)), FUsbGuid(kHidInterfaceClass) {
  notifications_->Listen(FUsbGuid, [this](const DeviceChange& change) { HandleDeviceChange(change); });
  FTimerToStartMonitor =
      mainLoop_.StartTimer(std::chrono::milliseconds(1500), [this] { TimerToStartMonitor(); });
  timerRunning_ = true;
}

TxaHIDEvent::~TxaHIDEvent() {
  if (timerRunning_) {
    mainLoop_.StopTimer(FTimerToStartMonitor);
  }
  notifications_.reset();  // no broadcast reaches a component being destroyed
}

void TxaHIDEvent::TimerToStartMonitor() {
  mainLoop_.StopTimer(FTimerToStartMonitor);  // it fires once
  timerRunning_ = false;
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
