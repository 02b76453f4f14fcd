#include "tools/virtual_mouse/MouseLog.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/WideText.h"

namespace monitor::virtual_mouse {

MouseLog::MouseLog(win32::UniqueHandle file) : file_(std::move(file)) {}

void MouseLog::Write(std::string_view line) {
  const std::lock_guard lock(mutex_);
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  if (file_) {
    const std::string text = std::string(line) + "\r\n";
    DWORD written = 0;
    // Unbuffered: the line is in the file when this returns.
    WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
}

win32::UniqueHandle OpenLogFile(std::u16string_view path) {
  return win32::OwnFileHandle(CreateFileW(win32::ToWide(path).c_str(), FILE_APPEND_DATA,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace monitor::virtual_mouse
