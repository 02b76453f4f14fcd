// TxaHidDeviceReadThread: reads one opened interface on its own thread and
// hands every report to its component's events.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/HidBus.h"

namespace monitor {

class TxaHIDData;

class TxaHidDeviceReadThread {
 public:
  // Starts reading at once. inputReportLength counts the report ID byte.
  TxaHidDeviceReadThread(TxaHIDData& hidData, std::unique_ptr<HidDevice> device, std::u16string deviceId,
                         std::u16string devicePath, std::size_t inputReportLength);
  // Stops the reader and waits until it has closed its device.
  ~TxaHidDeviceReadThread();
  TxaHidDeviceReadThread(const TxaHidDeviceReadThread&) = delete;
  TxaHidDeviceReadThread& operator=(const TxaHidDeviceReadThread&) = delete;

  void RequestStop() { thread_.request_stop(); }
  [[nodiscard]] bool Finished() const { return finished_; }

  // What one report's events carry.
  struct Delivery {
    std::u16string deviceId;
    std::u16string devicePath;
    std::vector<std::uint8_t> report;  // report ID first
    std::uint32_t buttonData;
  };

 private:
  void Execute(std::stop_token stop);
  void Deliver(std::span<const std::uint8_t> report, std::stop_token stop);
  static void Dispatch(TxaHIDData& component, const Delivery& delivery);
  std::uint32_t ButtonChange(std::span<const std::uint8_t> report);

  TxaHIDData& FHIDData;
  std::unique_ptr<HidDevice> FDevice;
  std::u16string FDeviceID;
  std::u16string FDevicePath;
  std::vector<std::uint8_t> FReport;
  std::vector<HidUsage> previousUsages_;  // of the button-change path, per reader
  std::atomic<bool> finished_ = false;
  std::jthread thread_;  // last: starts after everything above exists
};

}  // namespace monitor
