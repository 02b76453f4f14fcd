// The key code table: a Windows virtual-key code with its extended flag
// becomes the key code the mouse understands (a HID usage ID: keyboard page,
// consumer page for media keys) and a display name for the key.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace monitor {

// One row of a table; the row's index is its virtual-key code.
struct TKeyboardInfoTable {
  std::u16string VKName;
  std::int32_t VKCode = 0;
  std::int32_t ScanCode = 0;
  std::int32_t Extended = 0;  // kPlainKeyFlag, or kExtendedKeyFlag for the extended variant
  std::int32_t HIDCode = 0;   // kNoHIDCode when the key has none
  std::u16string KeyDescription;
};

inline constexpr int kKeyboardInfoRowCount = 255;  // virtual-key codes 0 to 254
inline constexpr std::int32_t kPlainKeyFlag = 224;
inline constexpr std::int32_t kExtendedKeyFlag = 225;
inline constexpr std::int32_t kNoHIDCode = -1;

struct KeyboardInfoTables {
  std::array<TKeyboardInfoTable, kKeyboardInfoRowCount> Plain;
  std::array<TKeyboardInfoTable, kKeyboardInfoRowCount> Extended;
};

// Builds both tables on the first call, safely from any thread, and returns
// the same tables on every call; they live for the rest of the process.
const KeyboardInfoTables& InitKeyboardInfoTables();

// The flag may be 0 or 224 (plain), 1 or 225 (extended); any other value
// selects the extended row.
// The key code; 0 when the key has none or AVKCode is above 254.
std::int32_t GetHIDCodeByVK(std::uint32_t AVKCode, std::int32_t AExtended);
// The display name; empty when AVKCode is above 254.
std::u16string GetKeyDescriptionByVK(std::uint32_t AVKCode, std::int32_t AExtended);

// Modifier flags of a key combination (1 Alt, 2 Ctrl, 4 Shift, 8 Windows)
// to the HID modifier byte (1 left Ctrl, 2 left Shift, 4 left Alt, 8 left
// GUI). Higher input bits are dropped.
std::uint8_t ConvertModifiersToHID(std::uint8_t AModifiers);

}  // namespace monitor
