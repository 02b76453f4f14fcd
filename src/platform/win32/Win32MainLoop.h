// The main loop port on the creating thread's Windows message queue: a
// hidden message-only window receives the wake-ups for posted tasks and the
// timers.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/MainLoop.h"
#include "platform/win32/HiddenWindow.h"

namespace monitor::win32 {

// Belongs to the thread that creates it: that thread runs every task and
// timer callback and is the only one to call anything but Post. Threads
// that post must be stopped before the loop is destroyed; tasks still
// queued then are dropped unrun. Tasks and timer callbacks must not throw:
// an exception cannot travel through the system's message dispatch, so one
// that escapes ends the process.
class Win32MainLoop final : public MainLoop {
 public:
  // Throws PlatformError when the hidden window cannot be created.
  Win32MainLoop();

  void Post(std::function<void()> task) override;
  TimerId StartTimer(std::chrono::milliseconds interval, std::function<void()> onTick) override;
  void StopTimer(TimerId timer) override;
  void ProcessPendingMessages() override;

  // Handles the thread's messages until Quit; returns Quit's exit code.
  int Run();
  // Makes Run return with the exit code.
  void Quit(int exitCode = 0);

  // The hidden window, for tests that look at its messages.
  [[nodiscard]] HWND Window() const { return window_.get(); }

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void PostWakeUp();
  void RunNextTask();
  void Tick(TimerId timer);

  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;  // guarded by mutex_
  bool wakeUpPending_ = false;               // guarded by mutex_
  // Shared, so that a callback that stops its own timer is not destroyed
  // while it runs.
  std::map<TimerId, std::shared_ptr<std::function<void()>>> timers_;
  TimerId nextTimer_ = 1;
  // Last, so that it goes first: no message reaches a half-destroyed loop.
  UniqueWindow window_;
};

}  // namespace monitor::win32
