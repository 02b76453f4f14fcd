#include "platform/Registry.h"

#include "platform/LittleEndian.h"

namespace monitor {

RegistryValue DwordValue(std::uint32_t number) {
  const auto bytes = LittleEndianBytes(number);
  return {RegistryValueType::Dword, {bytes.begin(), bytes.end()}};
}

std::optional<std::uint32_t> DwordOf(const RegistryValue& value) {
  if (value.type != RegistryValueType::Dword || value.data.size() != 4) {
    return std::nullopt;
  }
  return LittleEndian32(std::span(value.data).first<4>());
}

}  // namespace monitor
