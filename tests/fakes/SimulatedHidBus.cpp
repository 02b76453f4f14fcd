#include "fakes/SimulatedHidBus.h"

#include <algorithm>

namespace monitor::fakes {

constexpr std::uint32_t kErrorDeviceNotConnected = 1167;

class SimulatedDevice final : public HidDevice {
 public:
  SimulatedDevice(SimulatedInterface& target, HidAccess access) : target_(target) {
    std::lock_guard lock(target_.mutex_);
    ++target_.openHandles_;
    if (access == HidAccess::Reading) {
      handle_ = target_.nextHandle_++;
      target_.readingHandles_[handle_];
    }
  }
  ~SimulatedDevice() override {
    std::lock_guard lock(target_.mutex_);
    --target_.openHandles_;
    target_.readingHandles_.erase(handle_);
  }

  std::optional<HidCapabilities> Capabilities() override { return target_.Capabilities(); }

  HidReadResult ReadReport(std::span<std::uint8_t> buffer, std::stop_token stop) override {
    std::unique_lock lock(target_.mutex_);
    ++target_.readCalls;
    if (target_.failEveryRead) {
      return {HidReadResult::Outcome::Failed};
    }
    auto& queue = target_.readingHandles_[handle_].reports;
    target_.changed_.wait(lock, stop, [&] {
      ++target_.readCalls;
      return !queue.empty() || !target_.plugged_;
    });
    if (stop.stop_requested()) {
      return {HidReadResult::Outcome::Stopped};
    }
    if (!target_.plugged_) {
      return {HidReadResult::Outcome::Disconnected};
    }
    const std::vector<std::uint8_t> report = std::move(queue.front());
    queue.pop_front();
    const std::size_t size = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), size, buffer.begin());
    return {HidReadResult::Outcome::Report, size + target_.claimedExtraBytes};
  }

  std::optional<std::vector<HidUsage>> ButtonUsages(std::span<const std::uint8_t>) override {
    return target_.buttonUsages;
  }

  std::uint32_t SetFeature(std::span<const std::uint8_t> report) override {
    std::lock_guard lock(target_.mutex_);
    if (!target_.plugged_) {
      return kErrorDeviceNotConnected;
    }
    target_.features_.emplace_back(report.begin(), report.end());
    return 0;
  }

  std::uint32_t GetFeature(std::span<std::uint8_t> report) override {
    std::lock_guard lock(target_.mutex_);
    std::copy_n(target_.featureToReturn.begin(), std::min(report.size(), target_.featureToReturn.size()),
                report.begin());
    return target_.plugged_ ? 0 : kErrorDeviceNotConnected;
  }

  std::uint32_t WriteOutput(std::span<const std::uint8_t> report) override {
    std::lock_guard lock(target_.mutex_);
    target_.outputs_.emplace_back(report.begin(), report.end());
    return 0;
  }

 private:
  SimulatedInterface& target_;
  int handle_ = 0;
};

void SimulatedInterface::SendInput(const std::vector<std::uint8_t>& report) {
  {
    std::lock_guard lock(mutex_);
    for (auto& [handle, queue] : readingHandles_) {
      queue.reports.push_back(report);
    }
  }
  changed_.notify_all();
}

void SimulatedInterface::Unplug() {
  {
    std::lock_guard lock(mutex_);
    plugged_ = false;
  }
  changed_.notify_all();
}

bool SimulatedInterface::Plugged() const {
  std::lock_guard lock(mutex_);
  return plugged_;
}

std::optional<HidCapabilities> SimulatedInterface::Capabilities() const {
  if (failCapabilities) {
    return std::nullopt;
  }
  return caps_;
}

std::vector<std::vector<std::uint8_t>> SimulatedInterface::FeatureReports() const {
  std::lock_guard lock(mutex_);
  return features_;
}

std::vector<std::vector<std::uint8_t>> SimulatedInterface::OutputReports() const {
  std::lock_guard lock(mutex_);
  return outputs_;
}

int SimulatedInterface::OpenHandles() const {
  std::lock_guard lock(mutex_);
  return openHandles_;
}

SimulatedInterface& SimulatedHidBus::AddInterface(HidInterfaceInfo info, HidCapabilities caps) {
  return *interfaces_.emplace_back(std::make_unique<SimulatedInterface>(std::move(info), caps));
}

std::vector<HidInterfaceInfo> SimulatedHidBus::EnumerateInterfaces() {
  ++enumerations_;
  std::vector<HidInterfaceInfo> present;
  for (const auto& item : interfaces_) {
    if (item->Plugged()) {
      present.push_back(item->Info());
    }
  }
  return present;
}

std::unique_ptr<HidDevice> SimulatedHidBus::Open(const std::u16string& path, HidAccess access) {
  for (const auto& item : interfaces_) {
    if (item->Info().path == path && item->Plugged()) {
      return std::make_unique<SimulatedDevice>(*item, access);
    }
  }
  return nullptr;
}

HidCapabilities MouseVendorCapabilities() {
  return {.usage = 0x0001,
          .usagePage = 0xFFA0,
          .inputReportLength = 8,
          .outputReportLength = 8,
          .featureReportLength = 1024};
}

}  // namespace monitor::fakes
