#include "platform/win32/Win32Clock.h"

#include <windows.h>

namespace monitor::win32 {

LocalTime Win32Clock::LocalNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

void Win32Clock::SleepFor(std::chrono::milliseconds duration) { Sleep(static_cast<DWORD>(duration.count())); }

}  // namespace monitor::win32
