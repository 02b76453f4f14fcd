// Device-change broadcasts the test sends by hand.
#pragma once

#include <optional>

#include "platform/DeviceNotifications.h"

namespace monitor::fakes {

class FakeDeviceNotifications final : public DeviceNotifications {
 public:
  bool Listen(const std::u16string& interfaceClass,
              std::function<void(const DeviceChange&)> onChange) override {
    listenedClass = interfaceClass;
    onChange_ = std::move(onChange);
    return true;
  }

  // Sends one broadcast; headerType is what its header would say (none for
  // a broadcast without one). Counts how often the header was read.
  void Broadcast(std::uint32_t event, std::optional<std::uint32_t> headerType) {
    onChange_({event, [this, headerType] {
                 ++headerReads;
                 return headerType;
               }});
  }

  std::u16string listenedClass;
  int headerReads = 0;

 private:
  std::function<void(const DeviceChange&)> onChange_;
};

}  // namespace monitor::fakes
