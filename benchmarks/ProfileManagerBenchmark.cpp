// How long the profile manager takes to start, and how much memory it holds:
// with every record stored, and on a first start with nothing stored.
#include <benchmark/benchmark.h>

#include <memory>

#include "fakes/ProfileWorld.h"

namespace monitor {
namespace {

// The bytes TDM keeps: itself and the streams of its ten stores.
double HeldBytes(const TDM& dm) {
  std::size_t bytes = sizeof(TDM);
  for (const TxaProfile* store :
       {&dm.xaProfileAllSettingInfo, &dm.xaProfileGame1, &dm.xaProfileGame2, &dm.xaProfileGame3,
        &dm.xaProfileGame4, &dm.xaProfileGame5, &dm.xaProfileSettingGroup, &dm.xaProfileDefaultGame,
        &dm.xaProfileTest, &dm.xaProfileRecordMacroInfo}) {
    bytes += store->Stream().capacity();
  }
  return static_cast<double>(bytes);
}

void StartWithEveryRecordStored(benchmark::State& state) {
  ProfileWorld world;
  {
    // A first start stores the setting records; then store the five
    // profiles and the last recording as the configuration program would.
    auto dm = world.Start();
    dm->SaveBackAllProfileInfo();
    dm->SaveBackRecordMacroInfoToRegistry(TMACROKEYINFO{});
  }
  double held = 0;
  for (auto _ : state) {
    auto dm = world.Start();
    held = HeldBytes(*dm);
    benchmark::DoNotOptimize(dm.get());
  }
  state.counters["TDM_bytes"] = held;
}
BENCHMARK(StartWithEveryRecordStored)->Unit(benchmark::kMicrosecond);

void FirstStartOnEmptyRegistry(benchmark::State& state) {
  double held = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto world = std::make_unique<ProfileWorld>();
    state.ResumeTiming();
    auto dm = world->Start();
    held = HeldBytes(*dm);
    benchmark::DoNotOptimize(dm.get());
  }
  state.counters["TDM_bytes"] = held;
}
BENCHMARK(FirstStartOnEmptyRegistry)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace monitor
