// TTimer: a main-loop timer switched on and off by its Enabled flag;
// switching it on again restarts its count.
#pragma once

#include <chrono>
#include <functional>

#include "platform/MainLoop.h"

namespace monitor {

class TTimer {
 public:
  TTimer(MainLoop& mainLoop, std::chrono::milliseconds interval) : mainLoop_(mainLoop), interval_(interval) {}
  ~TTimer() { SetEnabled(false); }
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  std::function<void()> OnTimer;

  [[nodiscard]] std::chrono::milliseconds Interval() const { return interval_; }
  [[nodiscard]] bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) {
    if (enabled == enabled_) {
      return;
    }
    enabled_ = enabled;
    if (enabled) {
      id_ = mainLoop_.StartTimer(interval_, [this] {
        if (OnTimer) {
          OnTimer();
        }
      });
    } else {
      mainLoop_.StopTimer(id_);
    }
  }

 private:
  MainLoop& mainLoop_;
  std::chrono::milliseconds interval_;
  bool enabled_ = false;
  TimerId id_ = 0;
};

}  // namespace monitor
