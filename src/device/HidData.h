// TxaHIDData: finds the mouse among the HID interfaces, reads its input
// reports on reader threads and writes output and feature reports to it.
// It holds no permanent connection: every operation enumerates afresh,
// opens each candidate, checks it, acts on it and closes it again; only a
// reader keeps its interface open.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "device/HidTypes.h"
#include "device/UsageAndPage.h"
#include "platform/DebugOutput.h"
#include "platform/HidBus.h"
#include "platform/MainLoop.h"

namespace monitor {

class TxaHidDeviceReadThread;

// A raw input report: Data holds the bytes after the report ID.
using TxaHIDDataReceived =
    std::function<void(const std::u16string& ADeviceID, const std::u16string& ADevicePath,
                       std::uint8_t ReportID, std::span<const std::uint8_t> Data)>;
// A button change: a released usage, or a newly pressed one shifted left by 16.
using TxaHIDParsedDataReceived =
    std::function<void(const std::u16string& ADeviceID, const std::u16string& ADevicePath,
                       std::uint8_t ReportID, std::uint32_t ButtonData)>;
// A reader lost its device; raised on the reader's own thread.
using TxaHIDDeviceNotConnected =
    std::function<void(const std::u16string& ADeviceID, const std::u16string& ADevicePath)>;

class TxaHIDData final : public FeatureReportWriter {
 public:
  // includeList: hardware ids that count as the mouse (the "config.ini"
  // list); empty accepts every device.
  TxaHIDData(HidBus& bus, MainLoop& mainLoop, DebugOutput& debug, std::vector<std::u16string> includeList);
  // Stops and reclaims every reader.
  ~TxaHIDData() override;
  TxaHIDData(const TxaHIDData&) = delete;
  TxaHIDData& operator=(const TxaHIDData&) = delete;

  // Deliver reports on the reader thread instead of handing them to the
  // main thread.
  bool FastOnData = false;
  TxaHIDDataReceived OnData;
  TxaHIDParsedDataReceived OnParsedData;
  TxaHIDDeviceNotConnected OnDeviceNotConnected;

  // Starts one reader per matching interface. HIDID is not used.
  void HidFindAndReadDevice(USAGE_AND_PAGE UsageAndPage, std::u16string_view HIDID);
  bool IsDeviceExist(const THIDDataParam& ReportData);
  // Writes DATASIZE + 1 bytes (the ID and DATASIZE data bytes) to every
  // matching interface whose output report holds DATASIZE; true when a
  // write succeeded.
  bool HidFindAndWriteDevice(const THIDDataParam& ReportData);
  // Like the write above without the include list, DeviceID (unless empty
  // or "*") naming one of the interface's hardware ids, and exactly
  // DATASIZE bytes written.
  bool HidFindAndWriteDeviceBYHID(const THIDDataParam& ReportData);
  // Feature reports of DATASIZE bytes, report ID included, to or from every
  // matching interface whose feature report holds them. The result is that
  // of the last interface served: 0 or the system error code; "not
  // connected" when none was served.
  std::uint32_t HidFindAndGetFeatureReport(THIDDataParam& ReportData);
  std::uint32_t HidFindAndSetFeatureReport(THIDDataParam& ReportData) override;
  // Ends every reader, waiting until each has closed its device.
  void HidStopRead();

  // Readers still running (finished ones are reclaimed here).
  std::size_t ReaderCount();

 private:
  friend class TxaHidDeviceReadThread;

  enum class Filter { IncludeList, DeviceId };
  using MatchAction =
      std::function<void(const HidInterfaceInfo&, std::unique_ptr<HidDevice>&, const HidCapabilities&)>;
  void ForEachMatch(USAGE_AND_PAGE usage, Filter filter, std::u16string_view deviceId, HidAccess access,
                    const MatchAction& action);
  bool PassesIncludeList(const HidInterfaceInfo& info) const;
  // Writes `size` bytes of the block's report to every match whose output
  // report holds DATASIZE; true when one write succeeded.
  bool WriteOutputReports(const THIDDataParam& ReportData, Filter filter, std::size_t size);
  void ReclaimFinishedReaders();

  HidBus& bus_;
  MainLoop& mainLoop_;
  DebugOutput& debug_;
  std::vector<std::u16string> FHidDeviceList;
  std::vector<std::unique_ptr<TxaHidDeviceReadThread>> readers_;
};

}  // namespace monitor
