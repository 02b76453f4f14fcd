// The messages between the virtual mouse (a stand-in for the device in
// system tests and demonstrations) and its users, over two connections that
// carry one message per frame (on Windows, named pipes in message mode).
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

namespace monitor::virtual_mouse {

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

std::vector<std::uint8_t> EncodeFrame(MessageKind kind, std::span<const std::uint8_t> payload = {});
// The frame in one received message; nullopt when it is not a whole frame
// of this version.
std::optional<Frame> DecodeFrame(std::span<const std::uint8_t> message);

std::array<std::uint8_t, 4> EncodeResult(std::uint32_t result);
// The result at the start of a Result or FeatureReport payload.
std::optional<std::uint32_t> DecodeResult(std::span<const std::uint8_t> payload);

std::array<std::uint8_t, 10> EncodeCapabilities(const HidCapabilities& caps);
std::optional<HidCapabilities> DecodeCapabilities(std::span<const std::uint8_t> payload);

}  // namespace monitor::virtual_mouse
