// The HID bus port on the virtual mouse program: one interface, present
// while the program runs, reached through its named pipe. For system tests
// and demonstrations without hardware.
#pragma once

#include "platform/HidBus.h"

namespace monitor::win32 {

class VirtualHidBus final : public HidBus {
 public:
  std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
  // Only the path that EnumerateInterfaces lists opens.
  std::unique_ptr<HidDevice> Open(const std::u16string& path, HidAccess access) override;
};

}  // namespace monitor::win32
