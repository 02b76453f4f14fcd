// Prints how closely playback keeps a macro's delays with the Windows clock
// and how long the recording hook callback takes, run under Wine by ctest.
// Figures only: nothing here passes or fails on speed.
#include <cstdio>
#include <vector>

#include "MacroTimings.h"
#include "platform/win32/Win32Clock.h"

int main() {
  using namespace monitor;
  win32::Win32Clock clock;
  std::printf("playback delay error, %d plays each\n", 20);
  for (const int delay : {1, 6, 15, 100}) {
    const timings::Spread spread = timings::SpreadOf(timings::PlaybackDelayErrorsMs(clock, delay, 20));
    std::printf("  %3d ms: median %.3f ms, worst %.3f ms\n", delay, spread.median, spread.worst);
  }
  const timings::Spread callback = timings::SpreadOf(timings::RecordingHookCallbackMicroseconds(6000));
  std::printf("recording hook callback: median %.1f us, worst %.1f us\n", callback.median, callback.worst);
  return 0;
}
