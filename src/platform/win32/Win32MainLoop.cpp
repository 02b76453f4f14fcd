#include "platform/win32/Win32MainLoop.h"

#include <algorithm>
#include <utility>

#include "platform/PlatformError.h"

namespace monitor::win32 {
namespace {

// The loop's private wake-up: at most one is waiting in the queue at a time.
constexpr UINT kWakeUp = WM_APP;

}  // namespace

Win32MainLoop::Win32MainLoop()
    : window_(CreateHiddenWindow(L"MonitorMainLoop", &WindowProcedure, HiddenWindowKind::MessageOnly, this)) {
}

void Win32MainLoop::Post(std::function<void()> task) {
  bool wakeUp = false;
  {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    wakeUp = !std::exchange(wakeUpPending_, true);
  }
  if (wakeUp) {
    PostWakeUp();
  }
}

// Outside the lock: posting goes through the system and would keep other
// posters waiting. A failed post (a full queue) clears the flag, so that the
// next Post tries again.
void Win32MainLoop::PostWakeUp() {
  if (!PostMessageW(window_.get(), kWakeUp, 0, 0)) {
    const std::lock_guard lock(mutex_);
    wakeUpPending_ = false;
  }
}

// One task per wake-up: each takes its turn among the other messages, and a
// handler that processes pending messages runs the tasks queued behind it.
void Win32MainLoop::RunNextTask() {
  std::function<void()> task;
  bool moreWaiting = false;
  {
    const std::lock_guard lock(mutex_);
    if (tasks_.empty()) {
      return;  // a stale wake-up: the flag was cleared with the last task
    }
    task = std::move(tasks_.front());
    tasks_.pop_front();
    moreWaiting = !tasks_.empty();
    wakeUpPending_ = moreWaiting;
  }
  if (moreWaiting) {
    PostWakeUp();
  }
  task();
}

TimerId Win32MainLoop::StartTimer(std::chrono::milliseconds interval, std::function<void()> onTick) {
  const auto milliseconds = static_cast<UINT>(
      std::clamp<std::chrono::milliseconds::rep>(interval.count(), USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM));
  const TimerId timer = nextTimer_++;
  if (SetTimer(window_.get(), timer, milliseconds, nullptr) == 0) {
    throw PlatformError("cannot start a timer", GetLastError());
  }
  timers_.emplace(timer, std::make_shared<std::function<void()>>(std::move(onTick)));
  return timer;
}

void Win32MainLoop::StopTimer(TimerId timer) {
  if (timers_.erase(timer) != 0) {
    KillTimer(window_.get(), timer);
  }
}

// A tick already taken from the queue may come after its timer was stopped;
// ids are never reused, so it finds nothing.
void Win32MainLoop::Tick(TimerId timer) {
  const auto found = timers_.find(timer);
  if (found == timers_.end()) {
    return;
  }
  const std::shared_ptr<std::function<void()>> onTick = found->second;
  (*onTick)();
}

void Win32MainLoop::ProcessPendingMessages() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The quit belongs to the loop that runs around this handler.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

int Win32MainLoop::Run() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      return static_cast<int>(message.wParam);
    }
    if (got == -1) {
      throw PlatformError("cannot read the message queue", GetLastError());
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32MainLoop::Quit(int exitCode) { PostQuitMessage(exitCode); }

LRESULT CALLBACK Win32MainLoop::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) noexcept {
  Win32MainLoop* const loop = HiddenWindowOwner<Win32MainLoop>(window);
  if (loop != nullptr) {
    if (message == kWakeUp) {
      loop->RunNextTask();
      return 0;
    }
    if (message == WM_TIMER) {
      loop->Tick(static_cast<TimerId>(wParam));
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace monitor::win32
