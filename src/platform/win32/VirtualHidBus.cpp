#include "platform/win32/VirtualHidBus.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/VirtualMouseFrames.h"
#include "platform/win32/OverlappedIo.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/VirtualMouseClient.h"
#include "platform/win32/VirtualMousePipes.h"
#include "platform/win32/WideText.h"

namespace monitor::win32 {

using namespace monitor::virtual_mouse;
using namespace virtual_mouse;

namespace {

// What a device answers when it is gone.
constexpr std::uint32_t kNotConnected = ERROR_DEVICE_NOT_CONNECTED;
constexpr std::size_t kLargestReport = 65535;

struct Connection {
  UniqueHandle pipe;
  HidCapabilities capabilities;
};

std::optional<Connection> Connect(HidAccess access) {
  UniqueHandle pipe = ConnectToPipe(kDevicePipeName, access == HidAccess::Reading);
  if (!pipe) {
    return std::nullopt;
  }
  const std::uint8_t reading = access == HidAccess::Reading ? 1 : 0;
  const auto reply = Request(pipe.get(), MessageKind::Connect, std::span(&reading, 1));
  if (!reply || reply->kind != MessageKind::Capabilities) {
    return std::nullopt;
  }
  const auto capabilities = DecodeCapabilities(reply->payload);
  if (!capabilities) {
    return std::nullopt;
  }
  return Connection{std::move(pipe), *capabilities};
}

class VirtualHidDevice final : public HidDevice {
 public:
  VirtualHidDevice(Connection connection, HidAccess access)
      : connection_(std::move(connection)),
        access_(access),
        reader_(connection_.pipe.get()),
        frame_(kHeaderSize + connection_.capabilities.inputReportLength) {}

  std::optional<HidCapabilities> Capabilities() override { return connection_.capabilities; }

  HidReadResult ReadReport(std::span<std::uint8_t> buffer, std::stop_token stop) override {
    if (access_ != HidAccess::Reading) {
      return {HidReadResult::Outcome::Failed};  // no reports come to an exchange connection
    }
    // A message longer than the frame buffer fails here and is not taken in.
    const HidReadResult read = reader_.Read(frame_, std::move(stop));
    if (read.outcome != HidReadResult::Outcome::Report) {
      return read;
    }
    const auto frame = DecodeFrame(std::span(frame_).first(read.size));
    if (!frame || frame->kind != MessageKind::InputReport) {
      return {HidReadResult::Outcome::Failed};
    }
    const std::size_t size = std::min(frame->payload.size(), buffer.size());
    std::copy_n(frame->payload.begin(), size, buffer.begin());
    return {HidReadResult::Outcome::Report, size};
  }

  // The vendor collection has no buttons.
  std::optional<std::vector<HidUsage>> ButtonUsages(std::span<const std::uint8_t>) override {
    return std::vector<HidUsage>{};
  }

  std::uint32_t SetFeature(std::span<const std::uint8_t> report) override {
    return ResultOf(MessageKind::SetFeature, report);
  }

  std::uint32_t GetFeature(std::span<std::uint8_t> report) override {
    if (report.size() > kLargestReport) {
      return ERROR_INVALID_PARAMETER;
    }
    const auto reply = Exchange(MessageKind::GetFeature, report);
    if (!reply || reply->kind != MessageKind::FeatureReport) {
      return kNotConnected;
    }
    const auto result = DecodeResult(reply->payload);
    if (!result) {
      return kNotConnected;
    }
    const auto received = std::span(reply->payload).subspan(4);
    std::copy_n(received.begin(), std::min(received.size(), report.size()), report.begin());
    return *result;
  }

  std::uint32_t WriteOutput(std::span<const std::uint8_t> report) override {
    return ResultOf(MessageKind::WriteOutput, report);
  }

 private:
  // A reading connection carries pushed input reports only, so its
  // exchanges go through a connection of their own.
  std::optional<Reply> Exchange(MessageKind kind, std::span<const std::uint8_t> payload) {
    if (access_ == HidAccess::Exchange) {
      return Request(connection_.pipe.get(), kind, payload);
    }
    const auto exchange = Connect(HidAccess::Exchange);
    if (!exchange) {
      return std::nullopt;
    }
    return Request(exchange->pipe.get(), kind, payload);
  }

  std::uint32_t ResultOf(MessageKind kind, std::span<const std::uint8_t> report) {
    if (report.size() > kLargestReport) {
      return ERROR_INVALID_PARAMETER;
    }
    const auto reply = Exchange(kind, report);
    if (!reply || reply->kind != MessageKind::Result) {
      return kNotConnected;
    }
    return DecodeResult(reply->payload).value_or(kNotConnected);
  }

  Connection connection_;
  HidAccess access_;
  OverlappedReader reader_;
  std::vector<std::uint8_t> frame_;  // one input report frame being read
};

}  // namespace

std::vector<HidInterfaceInfo> VirtualHidBus::EnumerateInterfaces() {
  const std::wstring pipe(kDevicePipeName);
  // Busy instances still mean the mouse is there.
  if (!WaitNamedPipeW(pipe.c_str(), 1) && GetLastError() != ERROR_SEM_TIMEOUT) {
    return {};
  }
  return {HidInterfaceInfo{FromWide(pipe), {std::begin(kHardwareIds), std::end(kHardwareIds)}}};
}

std::unique_ptr<HidDevice> VirtualHidBus::Open(const std::u16string& path, HidAccess access) {
  if (path != FromWide(kDevicePipeName)) {
    return nullptr;
  }
  auto connection = Connect(access);
  if (!connection) {
    return nullptr;
  }
  return std::make_unique<VirtualHidDevice>(std::move(*connection), access);
}

}  // namespace monitor::win32
