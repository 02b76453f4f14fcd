// The main thread's message loop, where all logic runs: work handed over
// from other threads, timers, and the pending-message pump used inside
// long handlers.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace monitor {

using TimerId = std::uint32_t;

class MainLoop {
 public:
  virtual ~MainLoop() = default;

  // Runs the task on the main thread after everything queued before it.
  // May be called from any thread.
  virtual void Post(std::function<void()> task) = 0;
  // Calls onTick on the main thread every interval until stopped.
  virtual TimerId StartTimer(std::chrono::milliseconds interval, std::function<void()> onTick) = 0;
  virtual void StopTimer(TimerId timer) = 0;
  // Handles every message waiting now, once; called from inside a handler.
  virtual void ProcessPendingMessages() = 0;
};

}  // namespace monitor
