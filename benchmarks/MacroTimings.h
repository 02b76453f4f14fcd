// Measurements of the macro paths, shared by the native benchmarks and the
// Windows timing tool: how closely playback keeps a macro's delays, and how
// long the mouse hook's callback takes while a recording runs.
#pragma once

#include <vector>

#include "platform/Clock.h"

namespace monitor::timings {

struct Spread {
  double median = 0;
  double worst = 0;
};
Spread SpreadOf(std::vector<double> values);

// Plays "key down, pause of delayMs, key up" the given number of times with
// the clock given; each figure is how far the measured pause missed delayMs,
// in milliseconds.
std::vector<double> PlaybackDelayErrorsMs(Clock& clock, int delayMs, int repetitions);

// Feeds clicks to the mouse hook with a recording running (the real hook
// component and recorder, the rest in memory); each figure is one
// callback's duration, from entry to return, in microseconds.
std::vector<double> RecordingHookCallbackMicroseconds(int callbacks);

}  // namespace monitor::timings
