// How the monitor and the configuration program find and talk to each other.
#pragma once

#include <cstdint>
#include <string_view>

namespace monitor {

inline constexpr std::u16string_view kMonitorWindowClass =
    u"TZelMonExMain3";  // also its single-instance mutex
inline constexpr std::u16string_view kMonitorWindowCaption = u"ZELTRAVONICS_MONITOR_EX";
inline constexpr std::u16string_view kConfigWindowClass = u"TZelCfgExMain3";
inline constexpr std::u16string_view kConfigProgramFile = u"ZelCfgEx3.exe";

// Window messages.
inline constexpr std::uint32_t MSG_RELOAD_PROFILE = 7035;  // config program → monitor, lParam = profile ID
inline constexpr std::uint32_t MSG_MONITOR_EXIT = 7036;    // monitor → config program, posted
inline constexpr std::uint32_t MSG_RELOAD_ALL = 7037;      // config program → monitor
inline constexpr std::uint32_t MSG_RECORD_SAVED = 7038;  // monitor → config program, wParam = profile index
inline constexpr std::uint32_t MSG_PROFILE_SWITCHED = 7040;  // monitor → config program, wParam = 0 or 1
inline constexpr std::uint32_t MSG_BUTTON_EVENT = 7524;  // monitor → itself, wParam = key index, 21 or 22

// wParam of MSG_BUTTON_EVENT when the mouse switched its on-board profile.
inline constexpr std::uintptr_t kSwitchedToProfile0 = 21;
inline constexpr std::uintptr_t kSwitchedToProfile1 = 22;

}  // namespace monitor
