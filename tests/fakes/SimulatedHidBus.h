// A HID bus of simulated interfaces. Every open reading handle gets its own
// copy of each input report, as Windows gives every handle its own queue.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/HidBus.h"

namespace monitor::fakes {

class SimulatedInterface {
 public:
  SimulatedInterface(HidInterfaceInfo info, HidCapabilities caps) : info_(std::move(info)), caps_(caps) {}

  // Queues an input report (report ID first) on every open reading handle.
  void SendInput(const std::vector<std::uint8_t>& report);
  // The interface goes away: pending and later reads end as disconnected,
  // it is no longer listed and cannot be opened.
  void Unplug();
  [[nodiscard]] bool Plugged() const;

  // What the monitor sent, in order.
  [[nodiscard]] std::vector<std::vector<std::uint8_t>> FeatureReports() const;
  [[nodiscard]] std::vector<std::vector<std::uint8_t>> OutputReports() const;

  [[nodiscard]] const HidInterfaceInfo& Info() const { return info_; }
  // Set-up switches.
  [[nodiscard]] std::optional<HidCapabilities> Capabilities() const;
  bool failCapabilities = false;
  bool failEveryRead = false;
  std::size_t claimedExtraBytes = 0;          // a faulty device claiming more than it read
  std::vector<std::uint8_t> featureToReturn;  // the answer to a feature read
  std::vector<HidUsage> buttonUsages;         // what ButtonUsages reports

  // Observations.
  std::atomic<int> readCalls = 0;  // reads started, plus every wake-up of a waiting read
  [[nodiscard]] int OpenHandles() const;

 private:
  friend class SimulatedDevice;
  struct Queue {
    std::deque<std::vector<std::uint8_t>> reports;
  };

  HidInterfaceInfo info_;
  HidCapabilities caps_;
  mutable std::mutex mutex_;
  std::condition_variable_any changed_;
  bool plugged_ = true;
  std::map<int, Queue> readingHandles_;
  int nextHandle_ = 1;
  int openHandles_ = 0;
  std::vector<std::vector<std::uint8_t>> features_;
  std::vector<std::vector<std::uint8_t>> outputs_;
};

class SimulatedHidBus final : public HidBus {
 public:
  SimulatedInterface& AddInterface(HidInterfaceInfo info, HidCapabilities caps);

  std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
  std::unique_ptr<HidDevice> Open(const std::u16string& path, HidAccess access) override;

  [[nodiscard]] int Enumerations() const { return enumerations_; }

 private:
  std::vector<std::unique_ptr<SimulatedInterface>> interfaces_;
  int enumerations_ = 0;
};

// The mouse's vendor interface: usage page 0xFFA0, usage 1, 8-byte input
// reports and room for the upload's largest feature report.
HidCapabilities MouseVendorCapabilities();

}  // namespace monitor::fakes
