// The system's device-change broadcasts for one device-interface class.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace monitor {

// wParam values of the broadcasts the logic tells apart.
inline constexpr std::uint32_t kDeviceArrival = 0x8000;         // DBT_DEVICEARRIVAL
inline constexpr std::uint32_t kDeviceRemoveComplete = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
inline constexpr std::uint32_t kDeviceNodesChanged = 0x0007;    // DBT_DEVNODES_CHANGED
inline constexpr std::uint32_t kDeviceTypeInterface = 5;        // DBT_DEVTYP_DEVICEINTERFACE

// One broadcast. The header's device type is read only when asked for,
// because only arrival and removal broadcasts carry a header.
struct DeviceChange {
  std::uint32_t event;  // the broadcast's wParam
  std::function<std::optional<std::uint32_t>()> headerDeviceType;
};

class DeviceNotifications {
 public:
  virtual ~DeviceNotifications() = default;

  // Starts listening for interfaces of the class ("{xxxxxxxx-...}"); every
  // broadcast reaches onChange on the main thread. A "device nodes changed"
  // broadcast is delivered once after starting. False when the registration
  // failed; the posted broadcast still comes.
  virtual bool Listen(const std::u16string& interfaceClass,
                      std::function<void(const DeviceChange&)> onChange) = 0;
};

}  // namespace monitor
