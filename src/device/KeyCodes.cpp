#include "device/KeyCodes.h"

#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Utf8.h"

namespace monitor {
namespace {

struct KeyRow {
  int vkCode;
  std::u16string_view vkName;
  std::int32_t extended;
  std::int32_t hidCode;
  std::u16string_view description;
};

constexpr std::int32_t kNone = kNoHIDCode;

// Plain rows that are not given by a rule.
constexpr KeyRow kPlainRows[] = {
    {0x00, u"VK_NULL", kPlainKeyFlag, kNone, u""},
    {0x01, u"VK_LBUTTON", kPlainKeyFlag, kNone, u"Mouse Left Click"},
    {0x02, u"VK_RBUTTON", kPlainKeyFlag, kNone, u"Mouse Right Click"},
    {0x03, u"VK_CANCEL", kPlainKeyFlag, kNone, u"Control Break"},
    {0x04, u"VK_MBUTTON", kPlainKeyFlag, kNone, u"Mouse Middle Click"},
    {0x08, u"VK_BACK", kPlainKeyFlag, 0x2A, u"BACKSPACE"},
    {0x09, u"VK_TAB", kPlainKeyFlag, 0x2B, u"TAB"},
    {0x0C, u"VK_CLEAR", kPlainKeyFlag, 0x9C, u"CLEAR"},
    {0x0D, u"VK_RETURN", kPlainKeyFlag, 0x28, u"ENTER"},
    {0x10, u"VK_SHIFT", kPlainKeyFlag, kNone, u"SHIFT"},
    {0x11, u"VK_CONTROL", kPlainKeyFlag, kNone, u"CTRL"},
    {0x12, u"VK_MENU", kPlainKeyFlag, kNone, u"ALT"},
    {0x13, u"VK_PAUSE", kPlainKeyFlag, 0x48, u"PAUSE"},
    {0x14, u"VK_CAPITAL", kPlainKeyFlag, 0x39, u"CAPS LOCK"},
    {0x1B, u"VK_ESCAPE", kPlainKeyFlag, 0x29, u"ESC"},
    {0x20, u"VK_SPACE", kPlainKeyFlag, 0x2C, u"SPACEBAR"},
    {0x21, u"VK_PRIOR", kPlainKeyFlag, 0x61, u"PAGE UP"},
    {0x22, u"VK_NEXT", kPlainKeyFlag, 0x5B, u"PAGE DOWN"},
    {0x23, u"VK_END", kPlainKeyFlag, 0x59, u"END"},
    {0x24, u"VK_HOME", kPlainKeyFlag, 0x5F, u"HOME"},
    {0x25, u"VK_LEFT", kPlainKeyFlag, 0x5C, u"LEFT ARROW"},
    {0x26, u"VK_UP", kPlainKeyFlag, 0x60, u"UP ARROW"},
    {0x27, u"VK_RIGHT", kPlainKeyFlag, 0x5E, u"RIGHT ARROW"},
    {0x28, u"VK_DOWN", kPlainKeyFlag, 0x5A, u"DOWN ARROW"},
    {0x29, u"VK_SELECT", kPlainKeyFlag, kNone, u"SELECT"},
    {0x2A, u"VK_PRINT", kPlainKeyFlag, kNone, u"PRINT"},
    {0x2B, u"VK_EXECUTE", kPlainKeyFlag, kNone, u"EXECUTE"},
    {0x2C, u"VK_SNAPSHOT", kExtendedKeyFlag, 0x46, u"PRINT SCREEN"},
    {0x2D, u"VK_NUMPAD0_INSERT", kPlainKeyFlag, 0x62, u"Keypad 0 Insert"},
    {0x2E, u"VK_DELETE", kPlainKeyFlag, 0x63, u"Keypad DEL"},
    {0x2F, u"VK_HELP", kPlainKeyFlag, kNone, u"HELP"},
    {0x5B, u"VK_LWIN", kExtendedKeyFlag, 0xE3, u"L WIN"},
    {0x5C, u"VK_RWIN", kExtendedKeyFlag, 0xE7, u"R WIN"},
    {0x5D, u"VK_APP", kExtendedKeyFlag, 0x65, u"APP"},
    {0x6A, u"VK_MULTIPLY", kPlainKeyFlag, 0x55, u"Multiply"},
    {0x6B, u"VK_ADD", kPlainKeyFlag, 0x57, u"Add"},
    {0x6C, u"VK_SEPARATOR", kPlainKeyFlag, 0x97, u"Separator"},
    {0x6D, u"VK_SUBTRACT", kPlainKeyFlag, 0x56, u"Subtract"},
    {0x6E, u"VK_DECIMAL", kPlainKeyFlag, 0x63, u"Decimal"},
    {0x6F, u"VK_DIVIDE", kExtendedKeyFlag, 0x54, u"Divide"},
    {0x90, u"VK_NUMLOCK", kExtendedKeyFlag, 0x53, u"NUM LOCK"},
    {0x91, u"VK_SCROLL", kPlainKeyFlag, 0x47, u"Scroll Lock"},
    {0xA0, u"VK_LSHIFT", kPlainKeyFlag, 0xE1, u"L SHIFT"},
    {0xA1, u"VK_RSHIFT", kExtendedKeyFlag, 0xE5, u"R SHIFT"},
    {0xA2, u"VK_LCONTROL", kPlainKeyFlag, 0xE0, u"L CTRL"},
    {0xA3, u"VK_RCONTROL", kExtendedKeyFlag, 0xE4, u"R CTRL"},
    {0xA4, u"VK_LMENU", kPlainKeyFlag, 0xE2, u"L ALT"},
    {0xA5, u"VK_RMENU", kExtendedKeyFlag, 0xE6, u"R ALT"},
    // Consumer-page usages from here to 0xB7.
    {0xA6, u"VK_BROWSER_BACK", kExtendedKeyFlag, 0x224, u"BROWSER_BACK"},
    {0xA7, u"VK_BROWSER_FORWARD", kExtendedKeyFlag, 0x225, u"BROWSER_FORWARD"},
    {0xA8, u"VK_BROWSER_REFRESH", kExtendedKeyFlag, 0x227, u"BROWSER_REFRESH"},
    {0xA9, u"VK_BROWSER_STOP", kExtendedKeyFlag, 0x226, u"BROWSER_STOP"},
    {0xAA, u"VK_BROWSER_SEARCH", kExtendedKeyFlag, 0x221, u"BROWSER_SEARCH"},
    {0xAB, u"VK_BROWSER_FAVORITES", kExtendedKeyFlag, 0x22A, u"BROWSER_FAVORITES"},
    {0xAC, u"VK_BROWSER_HOME", kExtendedKeyFlag, 0x223, u"BROWSER_HOME"},
    {0xAD, u"VK_VOLUME_MUTE", kExtendedKeyFlag, 0xE2, u"VOLUME_MUTE"},
    {0xAE, u"VK_VOLUME_DOWN", kExtendedKeyFlag, 0xEA, u"VOLUME_DOWN"},
    {0xAF, u"VK_VOLUME_UP", kExtendedKeyFlag, 0xE9, u"VOLUME_UP"},
    {0xB0, u"VK_MEDIA_NEXT_TRACK", kExtendedKeyFlag, 0xB5, u"MEDIA_NEXT_TRACK"},
    {0xB1, u"VK_MEDIA_PREV_TRACK", kExtendedKeyFlag, 0xB6, u"MEDIA_PREV_TRACK"},
    {0xB2, u"VK_MEDIA_STOP", kExtendedKeyFlag, 0xB7, u"MEDIA_STOP"},
    {0xB3, u"VK_MEDIA_PLAY_PAUSE", kExtendedKeyFlag, 0xCD, u"MEDIA_PLAY_PAUSE"},
    {0xB4, u"VK_LAUNCH_MAIL", kExtendedKeyFlag, 0x18A, u"LAUNCH_MAIL"},
    {0xB5, u"VK_LAUNCH_MEDIA_SELECT", kExtendedKeyFlag, 0x183, u"LAUNCH_MEDIA_SELECT"},
    {0xB6, u"VK_LAUNCH_APP1", kExtendedKeyFlag, 0x194, u"LAUNCH_APP1"},
    {0xB7, u"VK_LAUNCH_APP2", kExtendedKeyFlag, 0x192, u"LAUNCH_APP2"},
    {0xBA, u"VK_OEM_1", kPlainKeyFlag, 0x33, u";:"},
    {0xBB, u"VK_OEM_PLUS", kPlainKeyFlag, 0x2E, u"+="},
    {0xBC, u"VK_OEM_COMMA", kPlainKeyFlag, 0x36, u",<"},
    {0xBD, u"VK_OEM_MINUS", kPlainKeyFlag, 0x2D, u"-_"},
    {0xBE, u"VK_OEM_PERIOD", kPlainKeyFlag, 0x37, u".>"},
    {0xBF, u"VK_OEM_2", kPlainKeyFlag, 0x38, u"/?"},
    {0xC0, u"VK_OEM_3", kPlainKeyFlag, 0x35, u"~`"},
    {0xDB, u"VK_OEM_4", kPlainKeyFlag, 0x2F, u"[{"},
    {0xDC, u"VK_OEM_5", kPlainKeyFlag, 0x31, u"\\|"},
    {0xDD, u"VK_OEM_6", kPlainKeyFlag, 0x30, u"]}"},
    {0xDE, u"VK_OEM_7", kPlainKeyFlag, 0x34, u"'\""},
    {0xDF, u"VK_OEM_8", kPlainKeyFlag, kNone, u"None"},
    {0xE1, u"VK_OEM_AX", kPlainKeyFlag, kNone, u"AX"},
    {0xE2, u"VK_OEM_102", kPlainKeyFlag, kNone, u"\\|"},
};

// Virtual keys Windows leaves unassigned: named by two hex digits, described as "Undefined".
constexpr int kUnassignedKeys[] = {
    0x05, 0x06, 0x07, 0x0A, 0x0B, 0x0E, 0x0F, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1C, 0x1D, 0x1E, 0x1F,
    0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x5E, 0x5F, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
    0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F, 0xE0};

// The keys whose extended variant is a different key: Enter on the keypad,
// and the dedicated navigation block instead of the keypad's.
constexpr KeyRow kExtendedRows[] = {
    {0x0D, u"VK_RETURN", kExtendedKeyFlag, 0x58, u"ENTER"},
    {0x21, u"VK_PRIOR", kExtendedKeyFlag, 0x4B, u"PAGE UP"},
    {0x22, u"VK_NEXT", kExtendedKeyFlag, 0x4E, u"PAGE DOWN"},
    {0x23, u"VK_END", kExtendedKeyFlag, 0x4D, u"END"},
    {0x24, u"VK_HOME", kExtendedKeyFlag, 0x4A, u"HOME"},
    {0x25, u"VK_LEFT", kExtendedKeyFlag, 0x50, u"LEFT ARROW"},
    {0x26, u"VK_UP", kExtendedKeyFlag, 0x52, u"UP ARROW"},
    {0x27, u"VK_RIGHT", kExtendedKeyFlag, 0x4F, u"RIGHT ARROW"},
    {0x28, u"VK_DOWN", kExtendedKeyFlag, 0x51, u"DOWN ARROW"},
    {0x2D, u"VK_INSERT", kExtendedKeyFlag, 0x49, u"INS"},
    {0x2E, u"VK_DELETE", kExtendedKeyFlag, 0x4C, u"DEL"},
};

using Table = std::array<TKeyboardInfoTable, kKeyboardInfoRowCount>;

std::u16string UpperHex(int value, int digits) {
  std::u16string text(static_cast<std::size_t>(digits), u'0');
  for (std::size_t i = text.size(); i-- > 0; value >>= 4) {
    text[i] = u"0123456789ABCDEF"[value & 0xF];
  }
  return text;
}

std::u16string DecimalText(int number) { return FromUtf8(std::to_string(number)).value(); }

// Appends rather than inserts in front: GCC 12 at -O3 reports a false
// overlap (-Wrestrict) for a literal + std::u16string.
std::u16string Joined(std::u16string_view head, std::u16string_view tail) {
  std::u16string text;
  text.reserve(head.size() + tail.size());
  return text.append(head).append(tail);
}

void SetRow(Table& table, int vkCode, std::u16string vkName, std::int32_t extended, std::int32_t hidCode,
            std::u16string description) {
  table[static_cast<std::size_t>(vkCode)] = {std::move(vkName), vkCode,  0,
                                             extended,          hidCode, std::move(description)};
}

void SetRows(Table& table, std::span<const KeyRow> rows) {
  for (const KeyRow& row : rows) {
    SetRow(table, row.vkCode, std::u16string(row.vkName), row.extended, row.hidCode,
           std::u16string(row.description));
  }
}

void SetDefaults(Table& table, std::int32_t extended) {
  for (int vk = 0; vk < kKeyboardInfoRowCount; ++vk) {
    SetRow(table, vk, Joined(u"VK_UNDEFINED_", UpperHex(vk, 3)), extended, kNoHIDCode,
           Joined(u"UNDEFINED_", UpperHex(vk, 3)));
  }
}

// Digits, letters, the keypad digits and the function keys follow their order.
void SetRuleRows(Table& plain) {
  const auto set = [&plain](int vkCode, const std::u16string& name, std::int32_t hidCode,
                            const std::u16string& description) {
    SetRow(plain, vkCode, Joined(u"VK_", name), kPlainKeyFlag, hidCode, description);
  };
  set(0x30, u"0", 0x27, u"0");
  for (int digit = 1; digit <= 9; ++digit) {
    set(0x30 + digit, DecimalText(digit), 0x1D + digit, DecimalText(digit));
  }
  for (int letter = 0; letter < 26; ++letter) {
    const std::u16string name(1, static_cast<char16_t>(u'A' + letter));
    set(0x41 + letter, name, 0x04 + letter, name);
  }
  set(0x60, u"NUMPAD0", 0x62, u"NUMPAD 0");
  for (int digit = 1; digit <= 9; ++digit) {
    set(0x60 + digit, Joined(u"NUMPAD", DecimalText(digit)), 0x58 + digit,
        Joined(u"NUMPAD ", DecimalText(digit)));
  }
  for (int number = 1; number <= 24; ++number) {
    const std::int32_t hidCode = number <= 12 ? 0x39 + number : 0x5B + number;  // F13 is 0x68
    set(0x6F + number, Joined(u"F", DecimalText(number)), hidCode, Joined(u"F", DecimalText(number)));
  }
}

KeyboardInfoTables BuildKeyboardInfoTables() {
  KeyboardInfoTables tables;
  SetDefaults(tables.Plain, kPlainKeyFlag);
  SetRuleRows(tables.Plain);
  for (const int vk : kUnassignedKeys) {
    SetRow(tables.Plain, vk, Joined(u"VK_UNDEFINED_", UpperHex(vk, 2)), kPlainKeyFlag, kNoHIDCode,
           u"Undefined");
  }
  SetRows(tables.Plain, kPlainRows);
  SetDefaults(tables.Extended, kExtendedKeyFlag);
  SetRows(tables.Extended, kExtendedRows);
  return tables;
}

// The row of a key, or none above the tables.
const TKeyboardInfoTable* SelectRow(std::uint32_t vkCode, std::int32_t extended) {
  const std::int32_t flag = extended == kExtendedKeyFlag ? 1 : extended == kPlainKeyFlag ? 0 : extended;
  const KeyboardInfoTables& tables = InitKeyboardInfoTables();
  if (vkCode >= kKeyboardInfoRowCount) {
    return nullptr;
  }
  const TKeyboardInfoTable& plain = tables.Plain[vkCode];
  if (flag == 0 || (flag == 1 && plain.Extended == kExtendedKeyFlag)) {
    return &plain;
  }
  return &tables.Extended[vkCode];
}

}  // namespace

const KeyboardInfoTables& InitKeyboardInfoTables() {
  static const KeyboardInfoTables tables = BuildKeyboardInfoTables();
  return tables;
}

std::int32_t GetHIDCodeByVK(std::uint32_t AVKCode, std::int32_t AExtended) {
  const TKeyboardInfoTable* row = SelectRow(AVKCode, AExtended);
  return row == nullptr || row->HIDCode == kNoHIDCode ? 0 : row->HIDCode;
}

std::u16string GetKeyDescriptionByVK(std::uint32_t AVKCode, std::int32_t AExtended) {
  const TKeyboardInfoTable* row = SelectRow(AVKCode, AExtended);
  return row == nullptr ? std::u16string() : row->KeyDescription;
}

std::uint8_t ConvertModifiersToHID(std::uint8_t AModifiers) {
  constexpr struct {
    std::uint8_t input;
    std::uint8_t output;
  } kModifiers[] = {{1, 4}, {2, 1}, {4, 2}, {8, 8}};  // Alt, Ctrl, Shift, Windows
  std::uint8_t hid = 0;
  for (const auto& modifier : kModifiers) {
    if ((AModifiers & modifier.input) != 0) {
      hid = static_cast<std::uint8_t>(hid | modifier.output);
    }
  }
  return hid;
}

}  // namespace monitor
