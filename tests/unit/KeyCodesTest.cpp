#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "device/KeyCodes.h"
#include "platform/Utf8.h"

namespace monitor {
namespace {

TEST(KeyCodes, KeyCodeFollowsTheExtendedFlag) {
  struct Case {
    std::uint32_t vk;
    std::int32_t extended;
    std::int32_t hidCode;
  };
  const Case cases[] = {
      {0x41, 0, 0x04}, {0x41, 224, 0x04}, {0x41, 225, 0},     // A has no extended variant
      {0x25, 0, 0x5C}, {0x25, 1, 0x50},   {0x25, 225, 0x50},  // keypad 4, left arrow
      {0x2C, 0, 0x46}, {0x2C, 1, 0x46},                       // Print Screen is extended already
      {0xAD, 1, 0xE2}, {0xA6, 1, 0x224},                      // consumer page
      {0x0D, 0, 0x28}, {0x0D, 1, 0x58},                       // main and keypad Enter
      {0x2D, 0, 0x62}, {0x2D, 1, 0x49},                       // keypad 0, Insert
      {0x2E, 0, 0x63}, {0x2E, 1, 0x4C},   {0x21, 1, 0x4B},    // the navigation block
      {0x22, 1, 0x4E}, {0x23, 1, 0x4D},   {0x24, 1, 0x4A},   {0x26, 1, 0x52},
      {0x27, 1, 0x4F}, {0x28, 1, 0x51},   {0x10, 0, 0},      {0x10, 1, 0},  // generic Shift has no code
      {300, 0, 0},     {255, 0, 0},       {254, 0, 0},  // above the table, and its last row
      {0x2C, 2, 0},    {0x41, 7, 0},                    // other flags take the extended row
      {0xA3, 0, 0xE4}, {0xA3, 225, 0xE4}, {0x00, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetHIDCodeByVK(c.vk, c.extended), c.hidCode)
        << std::hex << c.vk << " flag " << std::dec << c.extended;
  }
}

TEST(KeyCodes, DescriptionsNameTheSelectedRow) {
  struct Case {
    std::uint32_t vk;
    std::int32_t extended;
    std::u16string description;
  };
  const Case cases[] = {
      {0xB8, 0, u"UNDEFINED_0B8"},
      {0x07, 0, u"Undefined"},
      {0xA2, 0, u"L CTRL"},
      {0x00, 0, u""},
      {300, 0, u""},
      {0x41, 1, u"UNDEFINED_041"},
      {0x2E, 0, u"Keypad DEL"},
      {0x2E, 225, u"DEL"},
      {0xC0, 0, u"~`"},
      {0xDC, 0, u"\\|"},
      {0xDE, 0, u"'\""},
      {0xE2, 0, u"\\|"},
      {0x5B, 1, u"L WIN"},
      {0x6F, 0, u"Divide"},
      {0xFE, 1, u"UNDEFINED_0FE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(GetKeyDescriptionByVK(c.vk, c.extended)), ToUtf8(c.description)) << std::hex << c.vk;
  }
}

TEST(KeyCodes, ModifiersMoveToTheirHidBits) {
  struct Case {
    std::uint8_t modifiers;
    std::uint8_t hid;
  };
  const Case cases[] = {{0, 0}, {1, 4},   {2, 1},  {4, 2},    {8, 8},
                        {3, 5}, {15, 15}, {16, 0}, {0xF5, 6}, {0xFF, 15}};
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertModifiersToHID(c.modifiers), c.hid) << int{c.modifiers};
  }
}

TEST(KeyCodes, TablesAreBuiltOnceAndIndexedByVirtualKey) {
  const KeyboardInfoTables& tables = InitKeyboardInfoTables();
  EXPECT_EQ(&tables, &InitKeyboardInfoTables());
  for (int vk = 0; vk < kKeyboardInfoRowCount; ++vk) {
    const auto row = static_cast<std::size_t>(vk);
    EXPECT_EQ(tables.Plain[row].VKCode, vk);
    EXPECT_EQ(tables.Plain[row].ScanCode, 0);
    EXPECT_EQ(tables.Extended[row].VKCode, vk);
    EXPECT_EQ(tables.Extended[row].ScanCode, 0);
    EXPECT_EQ(tables.Extended[row].Extended, kExtendedKeyFlag);
    EXPECT_FALSE(tables.Plain[row].VKName.empty()) << vk;
  }
}

TEST(KeyCodes, RuleRowsFollowTheirOrder) {
  const auto& plain = InitKeyboardInfoTables().Plain;
  const auto expectRow = [&plain](int vk, const std::string& name, std::int32_t hidCode,
                                  const std::string& description) {
    const TKeyboardInfoTable& row = plain[static_cast<std::size_t>(vk)];
    EXPECT_EQ(ToUtf8(row.VKName), name) << std::hex << vk;
    EXPECT_EQ(row.HIDCode, hidCode) << std::hex << vk;
    EXPECT_EQ(ToUtf8(row.KeyDescription), description) << std::hex << vk;
    EXPECT_EQ(row.Extended, kPlainKeyFlag) << std::hex << vk;
  };
  expectRow(0x30, "VK_0", 0x27, "0");
  for (int digit = 1; digit <= 9; ++digit) {
    expectRow(0x30 + digit, "VK_" + std::to_string(digit), 0x1E + digit - 1, std::to_string(digit));
  }
  for (int letter = 0; letter < 26; ++letter) {
    const std::string text(1, static_cast<char>('A' + letter));
    expectRow(0x41 + letter, "VK_" + text, 0x04 + letter, text);
  }
  expectRow(0x60, "VK_NUMPAD0", 0x62, "NUMPAD 0");
  for (int digit = 1; digit <= 9; ++digit) {
    expectRow(0x60 + digit, "VK_NUMPAD" + std::to_string(digit), 0x59 + digit - 1,
              "NUMPAD " + std::to_string(digit));
  }
  for (int number = 1; number <= 12; ++number) {
    expectRow(0x70 + number - 1, "VK_F" + std::to_string(number), 0x3A + number - 1,
              "F" + std::to_string(number));
  }
  for (int number = 13; number <= 24; ++number) {
    expectRow(0x7C + number - 13, "VK_F" + std::to_string(number), 0x68 + number - 13,
              "F" + std::to_string(number));
  }
}

TEST(KeyCodes, UnassignedAndUnlistedRowsHaveNoCode) {
  const KeyboardInfoTables& tables = InitKeyboardInfoTables();
  const std::set<int> unassigned = {
      0x05, 0x06, 0x07, 0x0A, 0x0B, 0x0E, 0x0F, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1C, 0x1D, 0x1E, 0x1F,
      0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x5E, 0x5F, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
      0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F, 0xE0};
  const auto hex = [](int value, int digits) {
    std::string text(static_cast<std::size_t>(digits), '0');
    for (std::size_t i = text.size(); i-- > 0; value >>= 4) {
      text[i] = "0123456789ABCDEF"[value & 0xF];
    }
    return text;
  };
  for (const int vk : unassigned) {
    const TKeyboardInfoTable& row = tables.Plain[static_cast<std::size_t>(vk)];
    EXPECT_EQ(ToUtf8(row.VKName), "VK_UNDEFINED_" + hex(vk, 2));
    EXPECT_EQ(ToUtf8(row.KeyDescription), "Undefined");
    EXPECT_EQ(row.HIDCode, kNoHIDCode);
    EXPECT_EQ(row.Extended, kPlainKeyFlag);
  }
  // Rows no list mentions keep the three-digit defaults.
  for (const int vk : {0xB8, 0xB9, 0xC1, 0xDA, 0xE3, 0xFE}) {
    const TKeyboardInfoTable& row = tables.Plain[static_cast<std::size_t>(vk)];
    EXPECT_EQ(ToUtf8(row.VKName), "VK_UNDEFINED_" + hex(vk, 3));
    EXPECT_EQ(ToUtf8(row.KeyDescription), "UNDEFINED_" + hex(vk, 3));
    EXPECT_EQ(row.HIDCode, kNoHIDCode);
  }
  // Only the navigation block, Insert, Delete and Enter have an extended row.
  const std::set<int> extendedKeys = {0x0D, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2D, 0x2E};
  for (int vk = 0; vk < kKeyboardInfoRowCount; ++vk) {
    const TKeyboardInfoTable& row = tables.Extended[static_cast<std::size_t>(vk)];
    if (extendedKeys.contains(vk)) {
      EXPECT_NE(row.HIDCode, kNoHIDCode) << std::hex << vk;
    } else {
      EXPECT_EQ(row.HIDCode, kNoHIDCode) << std::hex << vk;
      EXPECT_EQ(ToUtf8(row.VKName), "VK_UNDEFINED_" + hex(vk, 3));
    }
  }
}

TEST(KeyCodes, KeysMarkedExtendedInThePlainTableIgnoreTheFlag) {
  const auto& plain = InitKeyboardInfoTables().Plain;
  const std::set<int> expected = {0x2C, 0x5B, 0x5C, 0x5D, 0x6F, 0x90, 0xA1, 0xA3, 0xA5,
                                  0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE,
                                  0xAF, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7};
  std::set<int> marked;
  for (int vk = 0; vk < kKeyboardInfoRowCount; ++vk) {
    if (plain[static_cast<std::size_t>(vk)].Extended == kExtendedKeyFlag) {
      marked.insert(vk);
      const auto key = static_cast<std::uint32_t>(vk);
      EXPECT_NE(GetHIDCodeByVK(key, 0), 0) << std::hex << vk;
      EXPECT_EQ(GetHIDCodeByVK(key, 1), GetHIDCodeByVK(key, 0)) << std::hex << vk;
      EXPECT_EQ(GetKeyDescriptionByVK(key, 225), GetKeyDescriptionByVK(key, 224)) << std::hex << vk;
    }
  }
  EXPECT_EQ(marked, expected);
  // The consumer-page keys are the only codes that do not fit a byte.
  for (int vk = 0; vk < kKeyboardInfoRowCount; ++vk) {
    const std::int32_t code = plain[static_cast<std::size_t>(vk)].HIDCode;
    if (code > 0xFF) {
      EXPECT_TRUE(vk >= 0xA6 && vk <= 0xB7) << std::hex << vk;
    }
  }
}

}  // namespace
}  // namespace monitor
