// What the virtual mouse received, one line at a time, to standard output
// and to an optional file. Each line is written through before the next
// request is answered, so a test can read the file while the mouse runs.
#pragma once

#include <mutex>
#include <string_view>

#include "platform/win32/UniqueHandle.h"

namespace monitor::virtual_mouse {

class MouseLog {
 public:
  // The file (empty: none) is appended to.
  explicit MouseLog(win32::UniqueHandle file);

  // Called from the mouse's connection threads.
  void Write(std::string_view line);

 private:
  std::mutex mutex_;
  win32::UniqueHandle file_;
};

// Opens a log file for appending, creating it when missing; empty when it
// cannot be opened (see GetLastError).
win32::UniqueHandle OpenLogFile(std::u16string_view path);

}  // namespace monitor::virtual_mouse
