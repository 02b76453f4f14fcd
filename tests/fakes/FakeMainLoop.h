// A main loop the test drives: posted tasks wait until the test runs them
// (from any thread they may come), and timers follow a manual clock.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "platform/MainLoop.h"

namespace monitor::fakes {

class FakeMainLoop final : public MainLoop {
 public:
  void Post(std::function<void()> task) override;
  TimerId StartTimer(std::chrono::milliseconds interval, std::function<void()> onTick) override;
  void StopTimer(TimerId timer) override;
  void ProcessPendingMessages() override;

  // Runs queued tasks, also those they post, until none is left; returns
  // how many ran.
  int RunPending();
  // Runs tasks one by one as they arrive from other threads until done()
  // holds; false when it did not within the (real-time) limit.
  bool RunUntil(const std::function<bool()>& done,
                std::chrono::milliseconds limit = std::chrono::milliseconds(5000));
  // Moves the clock on, firing due timers in time order.
  void AdvanceTime(std::chrono::milliseconds step);

  [[nodiscard]] std::chrono::milliseconds Now() const { return now_; }
  [[nodiscard]] int ProcessPendingCalls() const { return processPendingCalls_; }
  [[nodiscard]] std::size_t RunningTimers() const { return timers_.size(); }

 private:
  struct Timer {
    std::chrono::milliseconds interval;
    std::chrono::milliseconds due;
    std::function<void()> onTick;
  };
  bool RunOne();

  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
  std::map<TimerId, Timer> timers_;
  TimerId nextTimer_ = 1;
  std::chrono::milliseconds now_{0};
  int processPendingCalls_ = 0;
};

}  // namespace monitor::fakes
