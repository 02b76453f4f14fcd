// How fast an input report reaches OnData on the main thread through the
// simulated bus, and how often an idle reader wakes up.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "device/HidData.h"
#include "fakes/FakeEnvironment.h"
#include "fakes/FakeMainLoop.h"
#include "fakes/SimulatedHidBus.h"

namespace monitor {
namespace {

using Clock = std::chrono::steady_clock;

struct Rig {
  fakes::SimulatedHidBus bus;
  fakes::FakeMainLoop loop;
  fakes::FakeDebugOutput debug;
  fakes::SimulatedInterface& mouse =
      bus.AddInterface({u"mouse", {u"HID\\VID_1D57&PID_FA60"}}, fakes::MouseVendorCapabilities());
  TxaHIDData hid{bus, loop, debug, {}};
  std::size_t received = 0;

  Rig() {
    hid.OnData = [this](const std::u16string&, const std::u16string&, std::uint8_t,
                        std::span<const std::uint8_t>) { ++received; };
    hid.HidFindAndReadDevice(kMouseVendorCollection, u"*");
  }
};

void ReportToOnDataLatency(benchmark::State& state) {
  Rig rig;
  std::vector<double> microseconds;
  for (auto _ : state) {
    const auto start = Clock::now();
    rig.mouse.SendInput({7, 0x80, 0, 0, 0, 0, 0, 0});
    const std::size_t expected = rig.received + 1;
    rig.loop.RunUntil([&] { return rig.received == expected; });
    const std::chrono::duration<double, std::micro> took = Clock::now() - start;
    state.SetIterationTime(took.count() / 1e6);
    microseconds.push_back(took.count());
  }
  std::sort(microseconds.begin(), microseconds.end());
  state.counters["median_us"] = microseconds[microseconds.size() / 2];
  state.counters["p99_us"] = microseconds[microseconds.size() * 99 / 100];
}
BENCHMARK(ReportToOnDataLatency)->UseManualTime()->Unit(benchmark::kMicrosecond);

void IdleReaderWakeUps(benchmark::State& state) {
  Rig rig;
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the read start
  for (auto _ : state) {
    const int before = rig.mouse.readCalls;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    state.counters["wakeups_per_s"] = (rig.mouse.readCalls - before) * 2.0;
  }
}
BENCHMARK(IdleReaderWakeUps)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace monitor
