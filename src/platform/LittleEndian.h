// Fixed-width numbers in little-endian byte order, as stored values, the
// translation table layout and the virtual mouse's frames keep them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace monitor {

inline std::array<std::uint8_t, 2> LittleEndianBytes(std::uint16_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

inline std::array<std::uint8_t, 4> LittleEndianBytes(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

inline std::uint16_t LittleEndian16(std::span<const std::uint8_t, 2> bytes) {
  return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

inline std::uint32_t LittleEndian32(std::span<const std::uint8_t, 4> bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

}  // namespace monitor
