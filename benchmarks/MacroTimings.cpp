#include "MacroTimings.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

#include "fakes/FakeEnvironment.h"
#include "fakes/FakeInput.h"
#include "fakes/RecorderWorld.h"
#include "macros/MacroPlayer.h"

namespace monitor::timings {
namespace {

using Instant = std::chrono::steady_clock::time_point;

double Milliseconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// Notes when the key goes down and up; injects nothing.
class TimingInjector final : public InputInjector {
 public:
  bool Key(std::uint8_t, bool down, bool) override {
    (down ? pressed : released) = std::chrono::steady_clock::now();
    return true;
  }
  bool Button(MouseButton, bool) override { return true; }
  bool Wheel(int) override { return true; }

  Instant pressed;
  Instant released;
};

}  // namespace

Spread SpreadOf(std::vector<double> values) {
  if (values.empty()) {
    return {};
  }
  std::sort(values.begin(), values.end());
  return {values[values.size() / 2], values.back()};
}

std::vector<double> PlaybackDelayErrorsMs(Clock& clock, int delayMs, int repetitions) {
  auto profile = std::make_unique<TMouseProfileInfo>();
  TMACROKEYINFO& macro = profile->MacroKeyInfoList.MacroInfos[0];
  const auto low = static_cast<std::uint8_t>(delayMs & 0xFF);
  const auto high = static_cast<std::uint8_t>(delayMs >> 8);
  macro.MacroList[0] = {4, 1, 0x41, 0};    // A down
  macro.MacroList[1] = {6, 0, low, high};  // the pause
  macro.MacroList[2] = {4, 0, 0x41, 0};    // A up
  macro.MacroListCount = 3;

  TimingInjector injector;
  fakes::FakeDebugOutput debug;
  TMacroPlayer player(injector, clock, debug);
  std::vector<double> errors;
  for (int i = 0; i < repetitions; ++i) {
    player.PlayMacro(*profile);
    errors.push_back(std::abs(Milliseconds(injector.released - injector.pressed) - delayMs));
  }
  return errors;
}

std::vector<double> RecordingHookCallbackMicroseconds(int callbacks) {
  constexpr std::uint32_t kLeftDown = 0x201, kLeftUp = 0x202;
  // A recording holds 127 actions and a click makes up to four; start a
  // fresh one well before that, outside the measurement.
  constexpr int kCallbacksPerRecording = 60;
  RecorderWorld world;
  std::vector<double> durations;
  std::uint32_t time = 1000;
  for (int i = 0; i < callbacks; ++i) {
    if (i % kCallbacksPerRecording == 0) {
      if (world.recorder.IsRecording) {
        world.recorder.ToggleRecordMacro(7);
      }
      world.recorder.ToggleRecordMacro(7);
    }
    time += 40;
    const LowLevelMouseEvent event{100 + i % 50, 200, 0, 0, time};
    const auto start = std::chrono::steady_clock::now();
    world.library.Mouse(i % 2 == 0 ? kLeftDown : kLeftUp, event);
    durations.push_back(Milliseconds(std::chrono::steady_clock::now() - start) * 1000.0);
  }
  return durations;
}

}  // namespace monitor::timings
