// The HID bus port on the Windows device-setup and HID services
// ("SetupApi.dll", "HID.dll"), loaded at run time from the system folder.
#pragma once

#include <memory>

#include "platform/HidBus.h"

namespace monitor::win32 {

struct HidLibraries;

class Win32HidBus final : public HidBus {
 public:
  // Without either library the bus lists nothing.
  Win32HidBus();
  ~Win32HidBus() override;

  std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
  std::unique_ptr<HidDevice> Open(const std::u16string& path, HidAccess access) override;

 private:
  // Shared with the opened devices, which keep the libraries loaded.
  std::shared_ptr<const HidLibraries> libraries_;
};

}  // namespace monitor::win32
