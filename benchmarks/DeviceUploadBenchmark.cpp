// How long the factory profile takes to become its upload reports: the
// button table, the macro slots and their packing into feature reports.
#include <benchmark/benchmark.h>

#include <memory>

#include "device/DeviceUpload.h"
#include "fakes/ProfileWorld.h"

namespace monitor {
namespace {

// Takes each report and keeps nothing, so only the packing is measured.
class DiscardingReportWriter : public FeatureReportWriter {
 public:
  std::uint32_t HidFindAndSetFeatureReport(THIDDataParam& ReportData) override {
    benchmark::DoNotOptimize(ReportData.Data.data());
    return 0;
  }
};

void ConvertFactoryProfileToReports(benchmark::State& state) {
  ProfileWorld world;
  const auto dm = world.Start();
  // The profile as the upload converts it: in device order, ten buttons.
  auto deviceOrder = std::make_unique<TMouseProfileInfo>(dm->FCurrentProfileInfo);
  SwapButtonFuncInfo(*deviceOrder, 4, 5);
  SwapButtonFuncInfo(*deviceOrder, 7, 8);
  deviceOrder->ConfigInfo.ButtonCount = kUploadedButtonCount;
  deviceOrder->ConfigInfo.ButtonFuncInfo[kUploadedButtonCount - 1].FunctionKind = 0;
  deviceOrder->ConfigInfo.ButtonFuncInfo[kUploadedButtonCount - 1].DeviceCode = kLastUploadedButtonDeviceCode;
  const TMouseProfileInfo& profile = *deviceOrder;
  const DeviceBank& bank = kDeviceBanks[0];
  DiscardingReportWriter writer;
  for (auto _ : state) {
    TDEVICEMACROSLOTS slots{};
    ConvertMacroSlots(profile, slots);
    const TDEVICEBUTTONTABLE table = ConvertButtonTable(profile);
    WriteButtonTable(writer, kMouseVendorCollection, table, bank.ButtonTableAddress);
    WriteMacroSlots(writer, kMouseVendorCollection, slots, bank.MacroSlotBase);
  }
}
BENCHMARK(ConvertFactoryProfileToReports)->Unit(benchmark::kMicrosecond);

// The whole upload, with its copy of the profile and both transaction reports.
void UploadFactoryProfile(benchmark::State& state) {
  ProfileWorld world;
  const auto dm = world.Start();
  DiscardingReportWriter writer;
  for (auto _ : state) {
    UploadProfileToDevice(dm->FCurrentProfileInfo, 0, writer, kMouseVendorCollection, [] {});
  }
}
BENCHMARK(UploadFactoryProfile)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace monitor
