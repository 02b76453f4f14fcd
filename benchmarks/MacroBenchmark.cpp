// Playback delay accuracy and the recording hook callback's duration,
// natively. The Windows timing tool (win32/MacroTimingsMain.cpp) prints the
// same figures with the Windows clock, under Wine.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "MacroTimings.h"

namespace monitor {
namespace {

// Waiting as a native port of the clock would: the kernel's high-resolution
// sleep.
class SteadyClock final : public Clock {
 public:
  LocalTime LocalNow() override { return {}; }
  void SleepFor(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }
  void WaitPrecisely(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }
};

void PlaybackDelayError(benchmark::State& state) {
  SteadyClock clock;
  const int delay = static_cast<int>(state.range(0));
  std::vector<double> errors;
  for (auto _ : state) {
    const auto measured = timings::PlaybackDelayErrorsMs(clock, delay, 1);
    errors.insert(errors.end(), measured.begin(), measured.end());
  }
  const timings::Spread spread = timings::SpreadOf(errors);
  state.counters["median_error_ms"] = spread.median;
  state.counters["worst_error_ms"] = spread.worst;
}
BENCHMARK(PlaybackDelayError)
    ->Arg(1)
    ->Arg(6)
    ->Arg(15)
    ->Arg(100)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

void RecordingHookCallback(benchmark::State& state) {
  std::vector<double> durations;
  for (auto _ : state) {
    const auto measured = timings::RecordingHookCallbackMicroseconds(600);
    durations.insert(durations.end(), measured.begin(), measured.end());
  }
  const timings::Spread spread = timings::SpreadOf(durations);
  state.counters["median_us"] = spread.median;
  state.counters["worst_us"] = spread.worst;
}
BENCHMARK(RecordingHookCallback)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace monitor
