// The messages between the virtual mouse (a stand-in for the device in
// system tests and demonstrations) and its users, over two named pipes in
// message mode: one message per frame.
//
// Device pipe: one connection per opened interface. Every connection starts
// with Connect, which the mouse answers with Capabilities. On an exchange
// connection the client then sends SetFeature, GetFeature and WriteOutput,
// each answered by one reply. A reading connection sends nothing more; the
// mouse pushes InputReport frames to it until either side closes it.
//
// Control pipe: one command per connection (PushInput, Unplug, Quit),
// answered by Result.
//
// Frame: version (1 byte), kind (1 byte), two zero bytes, payload length
// (4 bytes, little-endian), then the payload. Numbers in payloads are
// little-endian; reports go whole, report ID first.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/HidBus.h"

namespace monitor::win32::virtual_mouse {

inline constexpr std::wstring_view kDevicePipeName = L"\\\\.\\pipe\\GamingMouseMonitor.VirtualMouse";
inline constexpr std::wstring_view kControlPipeName = L"\\\\.\\pipe\\GamingMouseMonitor.VirtualMouse.Control";

// Made-up identifiers, away from any vendor we know of: vendor 0xF0E5,
// product 0x0B07, revision 1.00, interface 1, first collection.
inline constexpr std::u16string_view kHardwareIds[] = {
    u"HID\\VID_F0E5&PID_0B07&REV_0100&MI_01&Col01",
    u"HID\\VID_F0E5&PID_0B07&MI_01&Col01",
};

inline constexpr std::uint8_t kVersion = 1;
inline constexpr std::size_t kHeaderSize = 8;
// The largest payload: a result code and a whole report of 65535 bytes.
inline constexpr std::size_t kMaxPayload = 4 + 65535;

enum class MessageKind : std::uint8_t {
  // Client to mouse on the device pipe.
  Connect = 1,      // 1 byte: 1 for a reading connection, 0 for exchange
  SetFeature = 2,   // the report; answered by Result
  GetFeature = 3,   // the buffer, report ID first, its size the length wanted; answered by FeatureReport
  WriteOutput = 4,  // the report; answered by Result
  // Mouse to client on the device pipe.
  Capabilities = 16,   // usage, usage page, input, output and feature report lengths: 5 x 2 bytes
  Result = 17,         // 4 bytes: 0, or the system error code a device would give
  FeatureReport = 18,  // 4 bytes result, then the report (on success)
  InputReport = 19,    // the report
  // Command line to mouse on the control pipe; each answered by Result.
  PushInput = 32,  // the input report to send to every reading connection
  Unplug = 33,     // drop every device connection
  Quit = 34,       // stop serving and end
};

struct Frame {
  MessageKind kind;
  std::span<const std::uint8_t> payload;
};

inline std::vector<std::uint8_t> EncodeFrame(MessageKind kind, std::span<const std::uint8_t> payload = {}) {
  const auto length = static_cast<std::uint32_t>(payload.size());
  std::vector<std::uint8_t> frame{kVersion,
                                  static_cast<std::uint8_t>(kind),
                                  0,
                                  0,
                                  static_cast<std::uint8_t>(length),
                                  static_cast<std::uint8_t>(length >> 8),
                                  static_cast<std::uint8_t>(length >> 16),
                                  static_cast<std::uint8_t>(length >> 24)};
  frame.insert(frame.end(), payload.begin(), payload.end());
  return frame;
}

// The frame in one received message; nullopt when it is not a whole frame
// of this version.
inline std::optional<Frame> DecodeFrame(std::span<const std::uint8_t> message) {
  if (message.size() < kHeaderSize || message[0] != kVersion || message[2] != 0 || message[3] != 0) {
    return std::nullopt;
  }
  const std::uint32_t length =
      static_cast<std::uint32_t>(message[4]) | static_cast<std::uint32_t>(message[5]) << 8 |
      static_cast<std::uint32_t>(message[6]) << 16 | static_cast<std::uint32_t>(message[7]) << 24;
  if (length != message.size() - kHeaderSize) {
    return std::nullopt;
  }
  return Frame{static_cast<MessageKind>(message[1]), message.subspan(kHeaderSize)};
}

inline std::array<std::uint8_t, 4> EncodeResult(std::uint32_t result) {
  return {static_cast<std::uint8_t>(result), static_cast<std::uint8_t>(result >> 8),
          static_cast<std::uint8_t>(result >> 16), static_cast<std::uint8_t>(result >> 24)};
}

// The result at the start of a Result or FeatureReport payload.
inline std::optional<std::uint32_t> DecodeResult(std::span<const std::uint8_t> payload) {
  if (payload.size() < 4) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(payload[0]) | static_cast<std::uint32_t>(payload[1]) << 8 |
         static_cast<std::uint32_t>(payload[2]) << 16 | static_cast<std::uint32_t>(payload[3]) << 24;
}

inline std::array<std::uint8_t, 10> EncodeCapabilities(const HidCapabilities& caps) {
  std::array<std::uint8_t, 10> bytes{};
  const std::uint16_t values[] = {caps.usage, caps.usagePage, caps.inputReportLength, caps.outputReportLength,
                                  caps.featureReportLength};
  for (std::size_t i = 0; i < 5; ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(values[i]);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(values[i] >> 8);
  }
  return bytes;
}

inline std::optional<HidCapabilities> DecodeCapabilities(std::span<const std::uint8_t> payload) {
  if (payload.size() != 10) {
    return std::nullopt;
  }
  const auto value = [&](std::size_t i) {
    return static_cast<std::uint16_t>(payload[2 * i] | payload[2 * i + 1] << 8);
  };
  return HidCapabilities{value(0), value(1), value(2), value(3), value(4)};
}

}  // namespace monitor::win32::virtual_mouse
