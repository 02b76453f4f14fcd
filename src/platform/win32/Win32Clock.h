// The clock port on the Windows local time.
#pragma once

#include "platform/Clock.h"

namespace monitor::win32 {

class Win32Clock final : public Clock {
 public:
  LocalTime LocalNow() override;
  void SleepFor(std::chrono::milliseconds duration) override;
  void WaitPrecisely(std::chrono::milliseconds duration) override;
};

}  // namespace monitor::win32
