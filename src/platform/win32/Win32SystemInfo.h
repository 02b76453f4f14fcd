// The system information port on the Windows kernel's own version record.
#pragma once

#include "platform/SystemInfo.h"

namespace monitor::win32 {

class Win32SystemInfo final : public SystemInfo {
 public:
  WindowsVersion Version() override;
};

}  // namespace monitor::win32
