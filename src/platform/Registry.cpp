#include "platform/Registry.h"

namespace monitor {

RegistryValue DwordValue(std::uint32_t number) {
  return {RegistryValueType::Dword,
          {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
           static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)}};
}

std::optional<std::uint32_t> DwordOf(const RegistryValue& value) {
  if (value.type != RegistryValueType::Dword || value.data.size() != 4) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(value.data[0]) | static_cast<std::uint32_t>(value.data[1]) << 8 |
         static_cast<std::uint32_t>(value.data[2]) << 16 | static_cast<std::uint32_t>(value.data[3]) << 24;
}

}  // namespace monitor
