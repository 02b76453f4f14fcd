// The top-level collection a HID interface is identified by.
#pragma once

#include <cstdint>

namespace monitor {

struct USAGE_AND_PAGE {
  std::uint16_t Usage;
  std::uint16_t UsagePage;

  friend bool operator==(const USAGE_AND_PAGE&, const USAGE_AND_PAGE&) = default;
};

// The mouse's vendor collection.
inline constexpr USAGE_AND_PAGE kMouseVendorCollection{0x0001, 0xFFA0};

}  // namespace monitor
