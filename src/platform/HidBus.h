// The HID interfaces of the system, as the device link needs them: find
// them, open one, learn its collection and report lengths, read input
// reports with cancellation, and exchange feature and output reports.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

namespace monitor {

struct HidInterfaceInfo {
  std::u16string path;                      // the device-interface path to open
  std::vector<std::u16string> hardwareIds;  // e.g. "HID\\VID_1234&PID_5678&REV_0100"
};

// The top-level collection and report lengths; lengths count the report ID byte.
struct HidCapabilities {
  std::uint16_t usage = 0;
  std::uint16_t usagePage = 0;
  std::uint16_t inputReportLength = 0;
  std::uint16_t outputReportLength = 0;
  std::uint16_t featureReportLength = 0;

  friend bool operator==(const HidCapabilities&, const HidCapabilities&) = default;
};

struct HidUsage {
  std::uint16_t usage;
  std::uint16_t usagePage;

  friend bool operator==(const HidUsage&, const HidUsage&) = default;
};

struct HidReadResult {
  enum class Outcome {
    Report,        // `size` bytes arrived, report ID first
    Stopped,       // the stop was requested; the pending read was cancelled
    Disconnected,  // the device went away (aborted or not connected)
    Failed,        // any other error: the caller may read again
  };
  Outcome outcome;
  std::size_t size = 0;
};

// One opened interface. Reading may run on another thread than the rest.
class HidDevice {
 public:
  virtual ~HidDevice() = default;

  // Attributes, preparsed data and capabilities; nullopt when any of them
  // cannot be had.
  virtual std::optional<HidCapabilities> Capabilities() = 0;
  // Waits for the next input report, or until the stop is requested, which
  // cancels the pending read before this returns. No polling.
  virtual HidReadResult ReadReport(std::span<std::uint8_t> buffer, std::stop_token stop) = 0;
  // The button usages set in an input report; nullopt when it cannot be parsed.
  virtual std::optional<std::vector<HidUsage>> ButtonUsages(std::span<const std::uint8_t> report) = 0;
  // The result is 0 on success, else the system error code.
  virtual std::uint32_t SetFeature(std::span<const std::uint8_t> report) = 0;
  virtual std::uint32_t GetFeature(std::span<std::uint8_t> report) = 0;
  virtual std::uint32_t WriteOutput(std::span<const std::uint8_t> report) = 0;
};

enum class HidAccess {
  Reading,   // reads input reports, with cancellation
  Exchange,  // feature and output reports
};

class HidBus {
 public:
  virtual ~HidBus() = default;

  // The HID interfaces present now; empty when they cannot be listed.
  virtual std::vector<HidInterfaceInfo> EnumerateInterfaces() = 0;
  // Opens an interface for reading and writing, shared with other openers;
  // nullptr when it cannot be opened.
  virtual std::unique_ptr<HidDevice> Open(const std::u16string& path, HidAccess access) = 0;
};

}  // namespace monitor
