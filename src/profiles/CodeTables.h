// The code tables that give the profile records' fields their meaning.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace monitor {

inline constexpr std::int32_t kRecordFormatVersion = 259;

// ---- Button functions (FunctionIndex of a button record) ----

struct ButtonFunction {
  std::uint32_t DeviceCode;  // what the mouse does; it receives the low byte
  std::uint32_t FunctionID;  // identifier used by the configuration program
};

inline constexpr int kButtonFunctionCount = 37;

inline constexpr std::array<ButtonFunction, kButtonFunctionCount> kButtonFunctionTable{{
    {1, 1},      // 0
    {2, 2},      // 1
    {3, 3},      // 2
    {5, 4},      // 3
    {4, 5},      // 4
    {16, 6},     // 5  single key
    {15, 7},     // 6  key combination
    {15, 801},   // 7
    {15, 802},   // 8
    {15, 803},   // 9
    {15, 804},   // 10
    {15, 805},   // 11
    {15, 806},   // 12
    {15, 807},   // 13
    {15, 808},   // 14
    {15, 901},   // 15
    {15, 902},   // 16
    {15, 903},   // 17
    {15, 904},   // 18
    {15, 905},   // 19
    {15, 906},   // 20
    {14, 1001},  // 21 media key
    {14, 1002},  // 22
    {14, 1003},  // 23
    {14, 1004},  // 24
    {14, 1005},  // 25
    {14, 1006},  // 26
    {14, 1007},  // 27
    {19, 1008},  // 28 microphone mute, reported to the computer
    {17, 11},    // 29 macro on the mouse
    {8, 12},     // 30
    {17, 13},    // 31 macro played by the computer
    {19, 14},    // 32 macro recording, reported to the computer
    {10, 15},    // 33
    {9, 16},     // 34
    {13, 17},    // 35
    {14, 18},    // 36
}};

// The functions the monitor carries out itself.
inline constexpr std::uint16_t kFunctionMicrophoneMute = 28;
inline constexpr std::uint16_t kFunctionDeviceMacro = 29;
inline constexpr std::uint16_t kFunctionPlayMacro = 31;
inline constexpr std::uint16_t kFunctionRecordMacro = 32;

// FunctionKind of a button whose MacroKeyInfo is its macro.
inline constexpr std::uint8_t kFunctionKindMacro = 4;

// ---- Macro actions (TMACROKEY) ----

enum class ActionType : std::uint16_t {
  MouseButton = 1,
  MouseMove = 2,
  WheelNotch = 3,
  Key = 4,
  MediaKey = 5,
  Delay = 6,
  Loop = 7,
};

enum class KeyState : std::uint16_t {
  Up = 0,
  Down = 1,
};

// Mouse buttons of a MouseButton action: the bit (MouseKeyValue) and the
// number (MouseKey_Index).
struct MouseButtonCode {
  std::uint8_t Bit;
  std::uint8_t Index;
};
inline constexpr MouseButtonCode kMouseLeft{1, 1};
inline constexpr MouseButtonCode kMouseRight{2, 2};
inline constexpr MouseButtonCode kMouseMiddle{4, 3};
inline constexpr MouseButtonCode kMouseBack{8, 4};
inline constexpr MouseButtonCode kMouseForward{16, 5};

// Wheel notches: WHEEL_VALUE with its WHEEL_Index.
inline constexpr std::uint8_t kWheelTowardUserValue = 1;
inline constexpr std::uint8_t kWheelTowardUserIndex = 6;
inline constexpr std::uint8_t kWheelAwayFromUserValue = 255;
inline constexpr std::uint8_t kWheelAwayFromUserIndex = 7;

// ---- Report codes of input report 7 ----
// Key index k is reported as the 24-bit value with only bit k set, low byte
// first; a button record with device code 19 carries the same three bytes.

inline constexpr int kKeyIndexCount = 24;

using ReportCode = std::array<std::uint8_t, 3>;

constexpr ReportCode ReportCodeOfKeyIndex(int keyIndex) {
  const auto bits = std::uint32_t{1} << keyIndex;
  return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
          static_cast<std::uint8_t>(bits >> 16)};
}

inline constexpr std::array<ReportCode, kKeyIndexCount> kReportCodes = [] {
  std::array<ReportCode, kKeyIndexCount> codes{};
  for (int k = 0; k < kKeyIndexCount; ++k) {
    codes[static_cast<std::size_t>(k)] = ReportCodeOfKeyIndex(k);
  }
  return codes;
}();

// The key index whose code equals the three bytes, if any (exactly one bit).
constexpr std::optional<int> KeyIndexOfReportCode(const ReportCode& code) {
  for (int k = 0; k < kKeyIndexCount; ++k) {
    if (kReportCodes[static_cast<std::size_t>(k)] == code) {
      return k;
    }
  }
  return std::nullopt;
}

}  // namespace monitor
