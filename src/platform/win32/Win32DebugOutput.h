// The debug output port on the Windows debugger channel.
#pragma once

#include "platform/DebugOutput.h"

namespace monitor::win32 {

class Win32DebugOutput final : public DebugOutput {
 public:
  void Write(std::u16string_view line) override;
};

}  // namespace monitor::win32
