#include "device/HidData.h"

#include <algorithm>

#include "device/HidReader.h"
#include "profiles/TextCase.h"

namespace monitor {
namespace {

constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorDeviceNotConnected = 1167;

bool HasHardwareId(const HidInterfaceInfo& info, std::u16string_view id) {
  return std::ranges::any_of(
      info.hardwareIds, [&](const std::u16string& hardwareId) { return EqualIgnoringCase(hardwareId, id); });
}

// The report bytes a transfer of `size` may use; empty when the block does
// not hold them, so nothing is ever sent from beyond it.
std::span<std::uint8_t> Transfer(std::vector<std::uint8_t>& data, std::size_t size) {
  if (size == 0 || size > data.size() || size > kMaxHidReportBytes) {
    return {};
  }
  return std::span<std::uint8_t>(data).first(size);
}

}  // namespace

TxaHIDData::TxaHIDData(HidBus& bus, MainLoop& mainLoop, DebugOutput& debug,
                       std::vector<std::u16string> includeList)
    : bus_(bus), mainLoop_(mainLoop), debug_(debug), FHidDeviceList(std::move(includeList)) {}

// Stopping gives up every hand-off not yet under way, so none queued on the
// main loop reaches a component that is gone.
TxaHIDData::~TxaHIDData() { HidStopRead(); }

bool TxaHIDData::PassesIncludeList(const HidInterfaceInfo& info) const {
  return FHidDeviceList.empty() || std::ranges::any_of(FHidDeviceList, [&](const std::u16string& id) {
           return HasHardwareId(info, id);
         });
}

void TxaHIDData::ForEachMatch(USAGE_AND_PAGE usage, Filter filter, std::u16string_view deviceId,
                              HidAccess access, const MatchAction& action) {
  for (const HidInterfaceInfo& info : bus_.EnumerateInterfaces()) {
    if (filter == Filter::IncludeList && !PassesIncludeList(info)) {
      continue;
    }
    if (filter == Filter::DeviceId && !deviceId.empty() && deviceId != u"*" &&
        !HasHardwareId(info, deviceId)) {
      continue;
    }
    auto device = bus_.Open(info.path, access);
    if (!device) {
      continue;
    }
    const auto caps = device->Capabilities();
    if (caps && caps->usagePage == usage.UsagePage && caps->usage == usage.Usage) {
      action(info, device, *caps);
    }
  }
}

void TxaHIDData::HidFindAndReadDevice(USAGE_AND_PAGE UsageAndPage, std::u16string_view /*HIDID*/) {
  ReclaimFinishedReaders();
  ForEachMatch(
      UsageAndPage, Filter::IncludeList, {}, HidAccess::Reading,
      [this](const HidInterfaceInfo& info, std::unique_ptr<HidDevice>& device, const HidCapabilities& caps) {
        // An interface without input reports has nothing to read.
        if (caps.inputReportLength == 0) {
          return;
        }
        readers_.push_back(std::make_unique<TxaHidDeviceReadThread>(
            *this, std::move(device), info.hardwareIds.empty() ? u"" : info.hardwareIds.front(), info.path,
            caps.inputReportLength));
      });
}

bool TxaHIDData::IsDeviceExist(const THIDDataParam& ReportData) {
  bool found = false;
  ForEachMatch(
      ReportData.UsageAndPage, Filter::IncludeList, {}, HidAccess::Exchange,
      [&](const HidInterfaceInfo&, std::unique_ptr<HidDevice>&, const HidCapabilities&) { found = true; });
  return found;
}

bool TxaHIDData::HidFindAndWriteDevice(const THIDDataParam& ReportData) {
  return WriteOutputReports(ReportData, Filter::IncludeList, std::size_t{ReportData.DATASIZE} + 1);
}

bool TxaHIDData::HidFindAndWriteDeviceBYHID(const THIDDataParam& ReportData) {
  return WriteOutputReports(ReportData, Filter::DeviceId, ReportData.DATASIZE);
}

bool TxaHIDData::WriteOutputReports(const THIDDataParam& ReportData, Filter filter, std::size_t size) {
  THIDDataParam block = ReportData;
  const auto report = Transfer(block.Data, size);
  bool written = false;
  ForEachMatch(block.UsageAndPage, filter, block.DeviceID, HidAccess::Exchange,
               [&](const HidInterfaceInfo&, std::unique_ptr<HidDevice>& device, const HidCapabilities& caps) {
                 if (!report.empty() && caps.outputReportLength >= block.DATASIZE) {
                   written = device->WriteOutput(report) == 0 || written;
                 }
               });
  return written;
}

std::uint32_t TxaHIDData::HidFindAndGetFeatureReport(THIDDataParam& ReportData) {
  const auto report = Transfer(ReportData.Data, ReportData.DATASIZE);
  if (report.empty()) {
    return kErrorInvalidParameter;
  }
  std::uint32_t result = kErrorDeviceNotConnected;
  ForEachMatch(ReportData.UsageAndPage, Filter::IncludeList, {}, HidAccess::Exchange,
               [&](const HidInterfaceInfo&, std::unique_ptr<HidDevice>& device, const HidCapabilities& caps) {
                 if (caps.featureReportLength < ReportData.DATASIZE) {
                   return;
                 }
                 // The buffer asks for the report named by its first byte.
                 std::vector<std::uint8_t> received(report.size());
                 received[0] = report[0];
                 result = device->GetFeature(received);
                 if (result == 0) {
                   std::ranges::copy(received, report.begin());
                 }
               });
  return result;
}

std::uint32_t TxaHIDData::HidFindAndSetFeatureReport(THIDDataParam& ReportData) {
  const auto report = Transfer(ReportData.Data, ReportData.DATASIZE);
  if (report.empty()) {
    return kErrorInvalidParameter;
  }
  std::uint32_t result = kErrorDeviceNotConnected;
  ForEachMatch(ReportData.UsageAndPage, Filter::IncludeList, {}, HidAccess::Exchange,
               [&](const HidInterfaceInfo&, std::unique_ptr<HidDevice>& device, const HidCapabilities& caps) {
                 if (caps.featureReportLength >= ReportData.DATASIZE) {
                   result = device->SetFeature(report);
                 }
               });
  return result;
}

void TxaHIDData::HidStopRead() {
  for (const auto& reader : readers_) {
    reader->RequestStop();
  }
  readers_.clear();  // each destructor waits until its reader has closed its device
}

void TxaHIDData::ReclaimFinishedReaders() {
  std::erase_if(readers_, [](const auto& reader) { return reader->Finished(); });
}

std::size_t TxaHIDData::ReaderCount() {
  ReclaimFinishedReaders();
  return readers_.size();
}

}  // namespace monitor
