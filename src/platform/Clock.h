// The wall clock, and waiting.
#pragma once

#include <chrono>
#include <cstdint>

namespace monitor {

struct LocalTime {
  int year;
  int month;  // 1..12
  int day;    // 1..31
  int hour;
  int minute;
  int second;
  int millisecond;
};

class Clock {
 public:
  virtual ~Clock() = default;

  virtual LocalTime LocalNow() = 0;
  // Blocks the calling thread, at the system's usual timer granularity.
  virtual void SleepFor(std::chrono::milliseconds duration) = 0;
  // Blocks the calling thread for the duration to within about a
  // millisecond (macro delays: 6 ms must not become 16).
  virtual void WaitPrecisely(std::chrono::milliseconds duration) = 0;
};

}  // namespace monitor
