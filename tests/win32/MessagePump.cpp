#include "win32/MessagePump.h"

#include <windows.h>

namespace monitor::win32 {
namespace {

using Clock = std::chrono::steady_clock;

// Sleeps until a message arrives or a short while passed, then handles what waits.
void WaitAndPump(MainLoop& loop) {
  constexpr DWORD kWaitMs = 10;
  MsgWaitForMultipleObjectsEx(0, nullptr, kWaitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  loop.ProcessPendingMessages();
}

}  // namespace

bool PumpUntil(MainLoop& loop, const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > deadline) {
      return false;
    }
    WaitAndPump(loop);
  }
  return true;
}

void PumpFor(MainLoop& loop, std::chrono::milliseconds duration) {
  const Clock::time_point end = Clock::now() + duration;
  while (Clock::now() < end) {
    WaitAndPump(loop);
  }
}

}  // namespace monitor::win32
