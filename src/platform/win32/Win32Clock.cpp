#include "platform/win32/Win32Clock.h"

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include "platform/win32/UniqueHandle.h"

namespace monitor::win32 {
namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

LONGLONG Now() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

LONGLONG Frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

}  // namespace

LocalTime Win32Clock::LocalNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

void Win32Clock::SleepFor(std::chrono::milliseconds duration) { Sleep(static_cast<DWORD>(duration.count())); }

// A high-resolution waitable timer where the system has one; elsewhere a
// 1 ms timer period for the bulk of the wait and a short spin on the
// performance counter for its end.
void Win32Clock::WaitPrecisely(std::chrono::milliseconds duration) {
  if (duration.count() <= 0) {
    return;
  }
  const LONGLONG deadline = Now() + duration.count() * Frequency() / 1000;
  UniqueHandle timer(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                            TIMER_MODIFY_STATE | SYNCHRONIZE));
  if (timer) {
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(duration.count()) * 10000;  // relative, in 100 ns
    if (SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE) &&
        WaitForSingleObject(timer.get(), INFINITE) == WAIT_OBJECT_0 && Now() >= deadline) {
      return;
    }
  }
  timeBeginPeriod(1);
  for (LONGLONG left = deadline - Now(); left > 2 * Frequency() / 1000; left = deadline - Now()) {
    Sleep(static_cast<DWORD>(left * 1000 / Frequency()) - 1);
  }
  timeEndPeriod(1);
  while (Now() < deadline) {
    YieldProcessor();
  }
}

}  // namespace monitor::win32
