#include "fakes/FakeMainLoop.h"

namespace monitor::fakes {

void FakeMainLoop::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  posted_.notify_all();
}

TimerId FakeMainLoop::StartTimer(std::chrono::milliseconds interval, std::function<void()> onTick) {
  const TimerId id = nextTimer_++;
  timers_[id] = {interval, now_ + interval, std::move(onTick)};
  return id;
}

void FakeMainLoop::StopTimer(TimerId timer) { timers_.erase(timer); }

void FakeMainLoop::ProcessPendingMessages() {
  ++processPendingCalls_;
  RunPending();
}

bool FakeMainLoop::RunOne() {
  std::function<void()> task;
  {
    std::lock_guard lock(mutex_);
    if (tasks_.empty()) {
      return false;
    }
    task = std::move(tasks_.front());
    tasks_.pop_front();
  }
  task();
  return true;
}

int FakeMainLoop::RunPending() {
  int ran = 0;
  while (RunOne()) {
    ++ran;
  }
  return ran;
}

bool FakeMainLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    // One task at a time, so that the test sees the state right after each.
    while (!done() && RunOne()) {
    }
    if (done()) {
      return true;
    }
    std::unique_lock lock(mutex_);
    if (!posted_.wait_until(lock, deadline, [this] { return !tasks_.empty(); })) {
      return done();
    }
  }
}

void FakeMainLoop::AdvanceTime(std::chrono::milliseconds step) {
  const auto end = now_ + step;
  for (;;) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due <= end && (next == timers_.end() || it->second.due < next->second.due)) {
        next = it;
      }
    }
    if (next == timers_.end()) {
      break;
    }
    now_ = next->second.due;
    next->second.due += next->second.interval;
    const auto onTick = next->second.onTick;  // the tick may stop or restart its own timer
    onTick();
  }
  now_ = end;
}

}  // namespace monitor::fakes
