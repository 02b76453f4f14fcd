// Which Windows the program runs on.
#pragma once

namespace monitor {

struct WindowsVersion {
  bool ntFamily = true;
  unsigned major = 0;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;

  virtual WindowsVersion Version() = 0;
};

}  // namespace monitor
