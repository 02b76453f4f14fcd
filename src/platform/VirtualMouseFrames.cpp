#include "platform/VirtualMouseFrames.h"

#include <algorithm>

#include "platform/LittleEndian.h"

namespace monitor::virtual_mouse {

std::vector<std::uint8_t> EncodeFrame(MessageKind kind, std::span<const std::uint8_t> payload) {
  const auto length = LittleEndianBytes(static_cast<std::uint32_t>(payload.size()));
  const std::array<std::uint8_t, kHeaderSize> header{
      kVersion, static_cast<std::uint8_t>(kind), 0, 0, length[0], length[1], length[2], length[3]};
  // Byte by byte: GCC 12 warns falsely about ranges inserted here.
  std::vector<std::uint8_t> frame;
  frame.reserve(kHeaderSize + payload.size());
  for (const std::uint8_t byte : header) {
    frame.push_back(byte);
  }
  for (const std::uint8_t byte : payload) {
    frame.push_back(byte);
  }
  return frame;
}

std::optional<Frame> DecodeFrame(std::span<const std::uint8_t> message) {
  if (message.size() < kHeaderSize || message[0] != kVersion || message[2] != 0 || message[3] != 0 ||
      LittleEndian32(message.subspan<4, 4>()) != message.size() - kHeaderSize) {
    return std::nullopt;
  }
  return Frame{static_cast<MessageKind>(message[1]), message.subspan(kHeaderSize)};
}

std::array<std::uint8_t, 4> EncodeResult(std::uint32_t result) { return LittleEndianBytes(result); }

std::optional<std::uint32_t> DecodeResult(std::span<const std::uint8_t> payload) {
  if (payload.size() < 4) {
    return std::nullopt;
  }
  return LittleEndian32(payload.first<4>());
}

std::array<std::uint8_t, 10> EncodeCapabilities(const HidCapabilities& caps) {
  const std::uint16_t values[] = {caps.usage, caps.usagePage, caps.inputReportLength, caps.outputReportLength,
                                  caps.featureReportLength};
  std::array<std::uint8_t, 10> bytes{};
  for (std::size_t i = 0; i < 5; ++i) {
    const auto value = LittleEndianBytes(values[i]);
    std::copy(value.begin(), value.end(), bytes.begin() + static_cast<std::ptrdiff_t>(2 * i));
  }
  return bytes;
}

std::optional<HidCapabilities> DecodeCapabilities(std::span<const std::uint8_t> payload) {
  if (payload.size() != 10) {
    return std::nullopt;
  }
  const auto value = [&](std::size_t i) { return LittleEndian16(payload.subspan(2 * i).first<2>()); };
  return HidCapabilities{value(0), value(1), value(2), value(3), value(4)};
}

}  // namespace monitor::virtual_mouse
