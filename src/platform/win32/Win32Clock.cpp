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

// Timers fire late by up to a timer tick (on Wine a high-resolution timer
// still by most of a millisecond), so they cover the wait only up to a
// margin before the deadline; the margin is spun on the performance counter.
// A high-resolution waitable timer where the system has one, else a 1 ms
// timer period for Sleep.
void Win32Clock::WaitPrecisely(std::chrono::milliseconds duration) {
  if (duration.count() <= 0) {
    return;
  }
  constexpr LONGLONG kSpunMs = 2;
  const LONGLONG frequency = Frequency();
  const LONGLONG deadline = Now() + duration.count() * frequency / 1000;
  if (const LONGLONG timedMs = duration.count() - kSpunMs; timedMs > 0) {
    UniqueHandle timer(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                              TIMER_MODIFY_STATE | SYNCHRONIZE));
    LARGE_INTEGER due;
    due.QuadPart = -timedMs * 10000;  // relative, in 100 ns
    if (!timer || !SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE) ||
        WaitForSingleObject(timer.get(), INFINITE) != WAIT_OBJECT_0) {
      timeBeginPeriod(1);
      Sleep(static_cast<DWORD>(timedMs));
      timeEndPeriod(1);
    }
  }
  while (Now() < deadline) {
    YieldProcessor();
  }
}

}  // namespace monitor::win32
