#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "device/DeviceUpload.h"
#include "fakes/ProfileWorld.h"
#include "fakes/RecordingReportWriter.h"
#include "profiles/CodeTables.h"
#include "profiles/RecordImage.h"

namespace monitor {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A report: its first bytes, then zeros up to its length.
Bytes Report(Bytes head, std::size_t length) {
  head.resize(length, 0);
  return head;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

const Bytes kBegin = Report({0x02, 0x06, 0x00}, 16);
const Bytes kEnd = Report({0x02, 0x06, 0x01}, 16);

TMACROKEY Act(ActionType type, KeyState state, std::uint8_t value1, std::uint8_t value2) {
  return {static_cast<std::uint16_t>(type), static_cast<std::uint16_t>(state), value1, value2};
}

// Left clicks, press and release in turn: 81 01 01, 01 01 01, ...
TMACROKEYINFO ClickMacro(std::uint16_t macroIndex, int actionCount, std::uint16_t loopCount = 0) {
  TMACROKEYINFO macro{};
  for (int j = 0; j < actionCount; ++j) {
    macro.MacroList[j] = Act(ActionType::MouseButton, j % 2 == 0 ? KeyState::Down : KeyState::Up,
                             kMouseLeft.Bit, kMouseLeft.Index);
  }
  macro.MacroListCount = actionCount;
  macro.nLoopCount = loopCount;
  macro.nMacroIndex = macroIndex;
  return macro;
}

Bytes SlotBytes(const TDEVICEMACROSLOTS& slots, int slot) {
  return Bytes(slots.Slots[slot], slots.Slots[slot] + slots.Lengths[slot]);
}

Bytes EntryBytes(const TDEVICEBUTTONTABLE& table, int entry) {
  const TDEVICEBUTTON& button = table.Buttons[entry];
  return {button.DeviceCode, button.Params[0], button.Params[1], button.Params[2]};
}

// A profile built from zero, with helpers to place macros and buttons.
class DeviceUploadTest : public ::testing::Test {
 protected:
  TMACROKEYINFO& AddToLibrary(const TMACROKEYINFO& macro) {
    TMACROKEYINFOLIST& library = profile_->MacroKeyInfoList;
    TMACROKEYINFO& entry = library.MacroInfos[library.nMacroInfoCount++];
    entry = macro;
    return entry;
  }
  TBUTTONFUNCINFO& Button(int index) { return profile_->ConfigInfo.ButtonFuncInfo[index]; }
  void SetMacroButton(int index, const TMACROKEYINFO& macro) {
    Button(index).FunctionKind = kFunctionKindMacro;
    Button(index).DeviceCode = 17;
    Button(index).MacroKeyInfo = macro;
  }
  // A macro in the library and on a button.
  void AddMacroButton(int index, const TMACROKEYINFO& macro) {
    AddToLibrary(macro);
    SetMacroButton(index, macro);
  }

  void Upload(std::int32_t bank) { Upload(*profile_, bank); }
  void Upload(const TMouseProfileInfo& profile, std::int32_t bank) {
    UploadProfileToDevice(profile, bank, writer_, kMouseVendorCollection,
                          [this] { reportsAtPump_.push_back(writer_.reports.size()); });
  }
  const Bytes& Sent(std::size_t report) const { return writer_.reports.at(report).Data; }

  TDEVICEMACROSLOTS ConvertSlots() const {
    TDEVICEMACROSLOTS slots{};
    ConvertMacroSlots(*profile_, slots);
    return slots;
  }

  std::unique_ptr<TMouseProfileInfo> profile_ = std::make_unique<TMouseProfileInfo>();
  fakes::RecordingReportWriter writer_;
  std::vector<std::size_t> reportsAtPump_;  // reports sent when the pump ran
};

// ---- The whole upload ----

const Bytes kFactoryTable = Report(
    {10,   0x01, 0,    0, 0,    0x02, 0,    0, 0,    0x03, 0, 0, 0,    0x10, 0, 0xE0, 0,    0x10, 0, 0xE2, 0,
     0x10, 0,    0xE1, 0, 0x11, 0,    0x15, 0, 0x08, 0,    0, 0, 0x13, 0x80, 0, 0,    0x0D, 0,    0, 0},
    65);
const Bytes kFactorySlot = {0x81, 0x01, 0x01, 0x06, 0x01, 0x00, 0x01, 0x01, 0x01, 0x06, 0x02,
                            0x00, 0x81, 0x01, 0x01, 0x06, 0x01, 0x00, 0x01, 0x01, 0x01};

TEST_F(DeviceUploadTest, FactoryProfileGoesToBankZeroInFourReports) {
  ProfileWorld world;
  const auto dm = world.Start();
  Upload(dm->FCurrentProfileInfo, 0);

  ASSERT_EQ(writer_.reports.size(), 4u);
  EXPECT_EQ(Sent(0), kBegin);
  EXPECT_EQ(Sent(1), Report(Concat({{0x04, 0x02, 0x90, 0x00, 0x41, 0x00, 0xFA, 0xFA}, kFactoryTable}), 1024));
  EXPECT_EQ(Sent(2), Report(Concat({{0x03, 0x02, 0xD1, 0x00, 0x15, 0x00, 0xFA, 0xFA}, kFactorySlot}), 64));
  EXPECT_EQ(Sent(3), kEnd);
  for (const THIDDataParam& report : writer_.reports) {
    EXPECT_EQ(report.UsageAndPage, kMouseVendorCollection);
    EXPECT_EQ(report.DATASIZE, report.Data.size());
  }
  // Once after the table and once after the slots.
  EXPECT_EQ(reportsAtPump_, (std::vector<std::size_t>{2, 3}));
}

TEST_F(DeviceUploadTest, BankOneUsesItsOwnAddresses) {
  ProfileWorld world;
  const auto dm = world.Start();
  Upload(dm->FCurrentProfileInfo, 1);

  ASSERT_EQ(writer_.reports.size(), 4u);
  EXPECT_EQ(Bytes(Sent(1).begin(), Sent(1).begin() + 4), (Bytes{0x04, 0x02, 0x90, 0x09}));  // 2448
  EXPECT_EQ(Bytes(Sent(2).begin(), Sent(2).begin() + 4), (Bytes{0x03, 0x02, 0xD1, 0x09}));  // 2513
  EXPECT_EQ(reportsAtPump_.size(), 2u);
}

TEST_F(DeviceUploadTest, OtherBanksAndEmptyFirstMacroSendOnlyTheTransaction) {
  ProfileWorld world;
  const auto dm = world.Start();
  for (const std::int32_t bank : {2, -1, 100}) {
    writer_.reports.clear();
    Upload(dm->FCurrentProfileInfo, bank);
    ASSERT_EQ(writer_.reports.size(), 2u) << bank;
    EXPECT_EQ(Sent(0), kBegin);
    EXPECT_EQ(Sent(1), kEnd);
  }
  // The first macro decides, even when a button carries a macro of its own.
  for (const std::int32_t count : {0, -3}) {
    writer_.reports.clear();
    auto profile = std::make_unique<TMouseProfileInfo>(dm->FCurrentProfileInfo);
    profile->MacroKeyInfoList.MacroInfos[0].MacroListCount = count;
    Upload(*profile, 0);
    ASSERT_EQ(writer_.reports.size(), 2u) << count;
    EXPECT_EQ(Sent(0), kBegin);
    EXPECT_EQ(Sent(1), kEnd);
  }
  EXPECT_TRUE(reportsAtPump_.empty());
}

TEST_F(DeviceUploadTest, DeviceButtonsFollowTheDeviceOrder) {
  // Device code 18 carries ExtParam1 through, so each entry names its profile button.
  profile_->ConfigInfo.ButtonCount = 15;
  for (int b = 0; b < kButtonCapacity; ++b) {
    Button(b).DeviceCode = 18;
    Button(b).ExtParam1 = static_cast<std::uint16_t>(0x40 + b);
  }
  AddToLibrary(ClickMacro(0, 2));
  Upload(0);

  ASSERT_EQ(writer_.reports.size(), 3u);  // no slot: no button plays a macro
  const Bytes table(Sent(1).begin() + 8, Sent(1).begin() + 8 + 65);
  EXPECT_EQ(table[0], 10);
  const int profileButton[] = {0, 1, 2, 3, 5, 4, 6, 8, 7};
  for (int i = 0; i < 9; ++i) {
    const auto entry = static_cast<std::size_t>(1 + 4 * i);
    EXPECT_EQ(table[entry], 18) << i;
    EXPECT_EQ(table[entry + 1], 0x40 + profileButton[i]) << i;
  }
  // Button 9 always goes as device code 13 without parameters.
  EXPECT_EQ(Bytes(table.begin() + 37, table.begin() + 41), (Bytes{0x0D, 0, 0, 0}));
  EXPECT_TRUE(std::all_of(table.begin() + 41, table.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(DeviceUploadTest, LastButtonNeverClaimsASlot) {
  AddToLibrary(ClickMacro(0, 2));
  AddMacroButton(9, ClickMacro(3, 4));
  Upload(0);

  ASSERT_EQ(writer_.reports.size(), 3u);  // the table only: macro 3 has no slot
  EXPECT_EQ(Bytes(Sent(1).begin() + 8 + 37, Sent(1).begin() + 8 + 41), (Bytes{0x0D, 0, 0, 0}));
}

TEST_F(DeviceUploadTest, ReportClassFollowsTheMacroLength) {
  struct Case {
    int actions;
    std::uint8_t reportID;
    std::size_t length;
  };
  for (const Case& c :
       {Case{2, 2, 16}, Case{5, 3, 64}, Case{18, 3, 64}, Case{19, 4, 1024}, Case{128, 4, 1024}}) {
    profile_ = std::make_unique<TMouseProfileInfo>();
    writer_.reports.clear();
    AddMacroButton(0, ClickMacro(0, c.actions));
    Upload(0);
    ASSERT_EQ(writer_.reports.size(), 4u) << c.actions;
    const Bytes slotReport = Sent(2);
    EXPECT_EQ(slotReport.size(), c.length) << c.actions;
    EXPECT_EQ(slotReport[0], c.reportID) << c.actions;
    const auto bytes = static_cast<std::size_t>(3 * c.actions);
    EXPECT_EQ(static_cast<std::size_t>(slotReport[4] | slotReport[5] << 8), bytes);
    EXPECT_TRUE(std::all_of(slotReport.begin() + 8 + static_cast<std::ptrdiff_t>(bytes), slotReport.end(),
                            [](std::uint8_t b) { return b == 0; }));
  }
}

// ---- Actions ----

TEST(DeviceActions, DelaysCountTensOfMillisecondsRoundingHalvesToEven) {
  struct Case {
    std::uint32_t milliseconds;
    std::uint32_t tens;
  };
  const Case cases[] = {{5, 1}, {15, 2},     {25, 2},     {65535, 6554}, {0, 1},
                        {4, 1}, {14, 1},     {16, 2},     {35, 4},       {45, 4},
                        {6, 1}, {2560, 256}, {2565, 256}, {2575, 258},   {65534, 6553}};
  for (const Case& c : cases) {
    for (const KeyState state : {KeyState::Up, KeyState::Down}) {  // a delay never carries the press bit
      const TDEVICEACTION action = ConvertMacroAction(6, static_cast<std::uint16_t>(state),
                                                      static_cast<std::uint8_t>(c.milliseconds & 0xFF),
                                                      static_cast<std::uint8_t>(c.milliseconds >> 8));
      EXPECT_EQ(action, (TDEVICEACTION{0x06, static_cast<std::uint8_t>(c.tens & 0xFF),
                                       static_cast<std::uint8_t>(c.tens >> 8)}))
          << c.milliseconds;
    }
  }
}

TEST(DeviceActions, PressSetsBitSevenAndOtherStatesSendNothing) {
  EXPECT_EQ(ConvertMacroAction(1, 1, 1, 1), (TDEVICEACTION{0x81, 0x01, 0x01}));
  EXPECT_EQ(ConvertMacroAction(1, 0, 1, 1), (TDEVICEACTION{0x01, 0x01, 0x01}));
  EXPECT_EQ(ConvertMacroAction(3, 0, 255, 7), (TDEVICEACTION{0x03, 0xFF, 0x07}));
  EXPECT_EQ(ConvertMacroAction(5, 1, 0xCD, 0x00), (TDEVICEACTION{0x85, 0xCD, 0x00}));
  EXPECT_EQ(ConvertMacroAction(7, 0, 3, 0), (TDEVICEACTION{0x07, 0x03, 0x00}));
  EXPECT_EQ(ConvertMacroAction(1, 2, 1, 1), (TDEVICEACTION{0, 0, 0}));
  EXPECT_EQ(ConvertMacroAction(6, 0xFFFF, 100, 0), (TDEVICEACTION{0, 0, 0}));
}

TEST_F(DeviceUploadTest, KeyActionsCarryTheKeyCode) {
  TMACROKEYINFO macro{};
  const TMACROKEY actions[] = {
      Act(ActionType::Key, KeyState::Down, 0x41, 0),  // A
      Act(ActionType::Key, KeyState::Up, 0x41, 0),
      Act(ActionType::Key, KeyState::Down, 0x25, 1),  // left arrow, not keypad 4
      Act(ActionType::Key, KeyState::Down, 0x10, 0),  // generic Shift: no code
      // Browser Back is 0x224 on the consumer page; its low byte 0x24 would be
      // the key 7, so it travels as no key.
      Act(ActionType::Key, KeyState::Down, 0xA6, 1),
      Act(ActionType::Key, KeyState::Down, 0xB4, 1),  // 0x18A, not 0x8A
  };
  std::copy(std::begin(actions), std::end(actions), macro.MacroList);
  macro.MacroListCount = static_cast<std::int32_t>(std::size(actions));
  AddMacroButton(0, macro);

  const TDEVICEMACROSLOTS slots = ConvertSlots();
  EXPECT_EQ(SlotBytes(slots, 0), (Bytes{0x84, 0x04, 0x00, 0x04, 0x04, 0x00, 0x84, 0x50, 0x01, 0x84, 0x00,
                                        0x00, 0x84, 0x00, 0x01, 0x84, 0x00, 0x01}));
}

// ---- Macro slots ----

TEST_F(DeviceUploadTest, LoopActionFollowsTheActions) {
  AddMacroButton(0, ClickMacro(0, 4, 3));
  const TDEVICEMACROSLOTS slots = ConvertSlots();
  EXPECT_EQ(slots.Lengths[0], 15u);
  EXPECT_EQ(SlotBytes(slots, 0), (Bytes{0x81, 1, 1, 0x01, 1, 1, 0x81, 1, 1, 0x01, 1, 1, 0x07, 0x03, 0x00}));
  profile_->ConfigInfo.ButtonCount = 1;
  EXPECT_EQ(EntryBytes(ConvertButtonTable(*profile_), 0), (Bytes{17, 0, 15, 0}));

  profile_->MacroKeyInfoList.MacroInfos[0].nLoopCount = 0x0102;
  const TDEVICEMACROSLOTS wide = ConvertSlots();
  EXPECT_EQ(Bytes(wide.Slots[0] + 12, wide.Slots[0] + 15), (Bytes{0x07, 0x02, 0x01}));
}

TEST_F(DeviceUploadTest, FullMacroWithLoopKeepsTheLoopInTheLastPlace) {
  AddMacroButton(0, ClickMacro(0, kMacroActionCapacity, 2));
  profile_->ConfigInfo.ButtonCount = 1;

  const TDEVICEMACROSLOTS slots = ConvertSlots();
  ASSERT_EQ(slots.Lengths[0], 384u);
  EXPECT_EQ(Bytes(slots.Slots[0] + 378, slots.Slots[0] + 384),
            (Bytes{0x81, 1, 1, 0x07, 0x02, 0x00}));  // action 126, loop
  // The table states what the slot holds: 384 = 0x180.
  EXPECT_EQ(EntryBytes(ConvertButtonTable(*profile_), 0), (Bytes{17, 0, 0x80, 0x01}));

  // Without a loop all 128 actions fit.
  profile_->MacroKeyInfoList.MacroInfos[0].nLoopCount = 0;
  const TDEVICEMACROSLOTS plain = ConvertSlots();
  ASSERT_EQ(plain.Lengths[0], 384u);
  EXPECT_EQ(Bytes(plain.Slots[0] + 381, plain.Slots[0] + 384), (Bytes{0x01, 1, 1}));  // action 127
}

TEST_F(DeviceUploadTest, DamagedActionCountsAreClipped) {
  struct Case {
    std::int32_t count;
    std::uint16_t loop;
    std::uint32_t length;
  };
  for (const Case& c : {Case{1000, 0, 384}, Case{129, 5, 384}, Case{-5, 0, 0}, Case{-5, 1, 3}}) {
    profile_ = std::make_unique<TMouseProfileInfo>();
    profile_->ConfigInfo.ButtonCount = 1;
    TMACROKEYINFO macro = ClickMacro(0, kMacroActionCapacity, c.loop);
    macro.MacroListCount = c.count;
    AddMacroButton(0, macro);
    const TDEVICEMACROSLOTS slots = ConvertSlots();
    EXPECT_EQ(slots.Lengths[0], c.length) << c.count;
    EXPECT_EQ(
        EntryBytes(ConvertButtonTable(*profile_), 0),
        (Bytes{17, 0, static_cast<std::uint8_t>(c.length & 0xFF), static_cast<std::uint8_t>(c.length >> 8)}))
        << c.count;
  }
}

TEST_F(DeviceUploadTest, LibraryCountBeyondTheLibraryIsNotRead) {
  SetMacroButton(0, ClickMacro(7, 1));
  AddToLibrary(ClickMacro(7, 2));
  // Where a 22nd library entry would lie, bytes that read as macro 7 with
  // four actions.
  const TMACROKEYINFO beyond = ClickMacro(7, 4);
  const std::size_t countOffset = offsetof(TMouseProfileInfo, MacroKeyInfoList) +
                                  sizeof(TMACROKEYINFO) * std::size(profile_->MacroKeyInfoList.MacroInfos) +
                                  offsetof(TMACROKEYINFO, MacroListCount);
  const auto counts =
      RecordBytes(beyond).subspan(offsetof(TMACROKEYINFO, MacroListCount), 10);  // to nMacroIndex
  std::copy(counts.begin(), counts.end(),
            RecordBytes(*profile_).begin() + static_cast<std::ptrdiff_t>(countOffset));
  profile_->MacroKeyInfoList.nMacroInfoCount = 0xFFFF;

  const TDEVICEMACROSLOTS slots = ConvertSlots();
  EXPECT_EQ(slots.Lengths[0], 6u);
}

TEST_F(DeviceUploadTest, SlotsGoToTheFirstFiveMacrosOnButtons) {
  profile_->ConfigInfo.ButtonCount = 10;
  // Buttons 0 to 6 play macros 20, 21, 20, 22, 23, 24 and 25: six distinct macros.
  const std::uint16_t macroOfButton[] = {20, 21, 20, 22, 23, 24, 25};
  for (std::uint16_t m = 20; m <= 25; ++m) {
    AddToLibrary(ClickMacro(m, m - 18));  // 2 to 7 actions
  }
  for (int b = 0; b < 7; ++b) {
    SetMacroButton(b, ClickMacro(macroOfButton[b], macroOfButton[b] - 18));
  }
  // A macro device code on a button of another kind takes no slot.
  Button(7).DeviceCode = 17;
  Button(7).FunctionKind = 1;
  Button(7).MacroKeyInfo = ClickMacro(26, 1);

  const MacroSlotList list = BuildMacroSlotList(*profile_, 10);
  EXPECT_EQ(list.Count, 5);
  EXPECT_EQ(list.MacroIndexes, (std::array<std::uint16_t, 5>{20, 21, 22, 23, 24}));

  const TDEVICEBUTTONTABLE table = ConvertButtonTable(*profile_);
  EXPECT_EQ(EntryBytes(table, 0), (Bytes{17, 0, 6, 0}));
  EXPECT_EQ(EntryBytes(table, 1), (Bytes{17, 1, 9, 0}));
  EXPECT_EQ(EntryBytes(table, 2), (Bytes{17, 0, 6, 0}));
  EXPECT_EQ(EntryBytes(table, 3), (Bytes{17, 2, 12, 0}));
  EXPECT_EQ(EntryBytes(table, 4), (Bytes{17, 3, 15, 0}));
  EXPECT_EQ(EntryBytes(table, 5), (Bytes{17, 4, 18, 0}));
  // Macro 25 has no slot: its button does nothing rather than play slot 0.
  EXPECT_EQ(EntryBytes(table, 6), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(EntryBytes(table, 7), (Bytes{0, 0, 0, 0}));

  const TDEVICEMACROSLOTS slots = ConvertSlots();
  EXPECT_EQ((std::vector<std::uint32_t>(std::begin(slots.Lengths), std::end(slots.Lengths))),
            (std::vector<std::uint32_t>{6, 9, 12, 15, 18}));
}

TEST_F(DeviceUploadTest, LaterLibraryEntryWithTheSameNumberWins) {
  AddMacroButton(0, ClickMacro(4, 3));
  TMACROKEYINFO later = ClickMacro(4, 1);
  later.MacroList[0] =
      Act(ActionType::WheelNotch, KeyState::Up, kWheelTowardUserValue, kWheelTowardUserIndex);
  AddToLibrary(later);

  const TDEVICEMACROSLOTS slots = ConvertSlots();
  EXPECT_EQ(slots.Lengths[0], 3u);
  // Overwritten from the start; the earlier bytes beyond the length stay.
  EXPECT_EQ(Bytes(slots.Slots[0], slots.Slots[0] + 9), (Bytes{0x03, 1, 6, 0x01, 1, 1, 0x81, 1, 1}));
}

// ---- Button table ----

TEST_F(DeviceUploadTest, ButtonParametersFollowTheDeviceCode) {
  struct Case {
    const char* what;
    std::function<void(TBUTTONFUNCINFO&)> set;
    Bytes entry;
  };
  const Case cases[] = {
      {"ExtParam3: low 8 bits",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 11;
         b.ExtParam3 = 0x12345678;
       },
       {11, 0x78, 0, 0}},
      {"ExtParam3, code 12",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 12;
         b.ExtParam3 = 0x1FF;
       },
       {12, 0xFF, 0, 0}},
      {"no parameters",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 13;
         b.ExtParam3 = 5;
       },
       {13, 0, 0, 0}},
      {"media: low 8 bits of each half",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 14;
         b.MediaCodeLow = 0x1E9;
         b.MediaCodeHigh = 0x2AB;
       },
       {14, 0, 0xE9, 0xAB}},
      {"combination",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 15;
         b.ComboKey = {0x41, 0, 0x25, 1, 3};
       },
       {15, 0x05, 0x04, 0x50}},
      {"combination, high modifier bits dropped",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 15;
         b.ComboKey = {0x2C, 0, 0, 0, 0xFF08};
       },
       {15, 0x08, 0x46, 0}},
      {"combination with a consumer key",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 15;
         b.ComboKey = {0xA6, 1, 0xB7, 1, 2};
       },
       {15, 0x01, 0, 0}},
      {"single key",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 16;
         b.SingleKeyValue = 0x25;
       },
       {16, 0, 0x5C, 0}},
      {"single consumer key",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 16;
         b.SingleKeyValue = 0xB4;
       },
       {16, 0, 0, 0}},
      {"single key, volume fits",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 16;
         b.SingleKeyValue = 0xAF;
       },
       {16, 0, 0xE9, 0}},
      {"ExtParam1 low 8 bits, ExtParam2 whole",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 18;
         b.ExtParam1 = 0x1234;
         b.ExtParam2 = 0xBEEF;
       },
       {18, 0x34, 0xEF, 0xBE}},
      {"report code",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 19;
         std::copy_n(kReportCodes[16].begin(), 3, b.ReportCode);
       },
       {19, 0, 0, 1}},
      {"other codes carry nothing",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 8;
         b.ExtParam1 = 9;
       },
       {8, 0, 0, 0}},
      {"the mouse's low byte decides",
       [](TBUTTONFUNCINFO& b) {
         b.DeviceCode = 0x110;
         b.SingleKeyValue = 0x41;
       },
       {16, 0, 0x04, 0}},
  };
  for (const Case& c : cases) {
    profile_ = std::make_unique<TMouseProfileInfo>();
    profile_->ConfigInfo.ButtonCount = 2;
    c.set(Button(1));
    const TDEVICEBUTTONTABLE table = ConvertButtonTable(*profile_);
    EXPECT_EQ(table.ButtonCount, 2) << c.what;
    EXPECT_EQ(EntryBytes(table, 1), c.entry) << c.what;
  }
}

TEST_F(DeviceUploadTest, ButtonCountIsClippedToTheTable) {
  for (int b = 0; b < kButtonCapacity; ++b) {
    Button(b).DeviceCode = 2;
  }
  profile_->ConfigInfo.VWheelButtonFuncInfo[0].DeviceCode = 3;  // right after button 14
  struct Case {
    std::int32_t count;
    std::uint8_t tableCount;
    int converted;
  };
  for (const Case& c :
       {Case{3, 3, 3}, Case{15, 15, 15}, Case{16, 16, 15}, Case{1000, 16, 15}, Case{-1, 0, 0}}) {
    profile_->ConfigInfo.ButtonCount = c.count;
    const TDEVICEBUTTONTABLE table = ConvertButtonTable(*profile_);
    EXPECT_EQ(table.ButtonCount, c.tableCount) << c.count;
    for (int i = 0; i < kDeviceButtonCapacity; ++i) {
      // A 16th entry has no button record behind it and stays "no action".
      EXPECT_EQ(table.Buttons[i].DeviceCode, i < c.converted ? 2 : 0) << c.count << " entry " << i;
    }
  }
}

// ---- Commands and reports ----

TEST(DeviceReports, ReportClassIsTheSmallestThatHoldsTheCommand) {
  struct Case {
    std::size_t bytes;
    std::uint8_t reportID;
    std::uint32_t length;
  };
  const Case cases[] = {{8, 2, 16},      {16, 2, 16},     {17, 3, 64},     {64, 3, 64},
                        {65, 4, 1024},   {1024, 4, 1024}, {1025, 5, 2048}, {2048, 5, 2048},
                        {2049, 6, 4096}, {4096, 6, 4096}, {4097, 2, 16},   {65543, 2, 16}};
  for (const Case& c : cases) {
    const FeatureReportClass reportClass = FeatureReportClassFor(c.bytes);
    EXPECT_EQ(reportClass.ReportID, c.reportID) << c.bytes;
    EXPECT_EQ(reportClass.Length, c.length) << c.bytes;
  }
}

TEST(DeviceReports, CommandsArePackedFromTheirHeader) {
  fakes::RecordingReportWriter writer;
  writer.result = 1167;
  const USAGE_AND_PAGE usage{0x0002, 0xFF00};
  const auto send = [&](std::initializer_list<std::uint8_t> header, std::size_t payloadBytes) {
    auto command = std::make_unique<TDEVICECOMMAND>();
    std::copy(header.begin(), header.end(), command->Header);
    for (std::size_t i = 0; i < payloadBytes; ++i) {
      command->Payload[i] = static_cast<std::uint8_t>(0x10 + i % 0x80);
    }
    EXPECT_EQ(SendDeviceCommand(writer, usage, *command), 1167u);  // the writer's result
    EXPECT_EQ(writer.reports.back().UsageAndPage, usage);
    return writer.reports.back().Data;
  };
  // Code 0 states its length in byte 2; header byte 7 is never sent.
  EXPECT_EQ(send({0x00, 0x01, 0x03, 0x04, 0x05, 0x06, 0x07, 0x99}, 3),
            Report({0x02, 0x00, 0x01, 0x03, 0x04, 0x05, 0x06, 0x07, 0x10, 0x11, 0x12}, 16));
  EXPECT_EQ(send({0x80, 0x00, 0x09}, 9)[0], 3);  // the high bit is ignored: 8 + 9 bytes
  // Codes 2 and 3 state it in bytes 3 and 4; others carry none.
  EXPECT_EQ(send({0x83, 0, 0, 0x00, 0x04}, 1024).size(), 2048u);
  EXPECT_EQ(send({0x05, 0, 0xFF, 0xFF, 0xFF}, 8), Report({0x02, 0x05, 0, 0xFF, 0xFF, 0xFF}, 16));
  // A length the payload cannot hold copies only the payload; one no report
  // class holds falls back to report 2 with what fits.
  const Bytes large = send({0x02, 0, 0, 0xB8, 0x0B}, kDeviceCommandPayloadBytes);  // 3000
  ASSERT_EQ(large.size(), 4096u);
  EXPECT_EQ(large[8 + 2047], 0x10 + 2047 % 0x80);
  EXPECT_TRUE(std::all_of(large.begin() + 8 + 2048, large.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(send({0x02, 0, 0, 0x00, 0x20}, kDeviceCommandPayloadBytes),
            Report({0x02, 0x02, 0, 0, 0x00, 0x20, 0, 0, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17}, 16));
}

TEST(DeviceReports, MemoryWritesStateTheirAddressAndLength) {
  fakes::RecordingReportWriter writer;
  WriteDeviceMemory(writer, kMouseVendorCollection, {}, 100);
  EXPECT_TRUE(writer.reports.empty());

  const Bytes data = {0xAA, 0xBB, 0xCC};
  WriteDeviceMemory(writer, kMouseVendorCollection, data, 0x1234);
  ASSERT_EQ(writer.reports.size(), 1u);
  EXPECT_EQ(writer.reports[0].Data,
            Report({0x02, 0x02, 0x34, 0x12, 0x03, 0x00, 0xFA, 0xFA, 0xAA, 0xBB, 0xCC}, 16));
  EXPECT_EQ(writer.reports[0].DATASIZE, 16u);

  // More than the payload holds: the header states the 2048 bytes sent.
  const Bytes tooLong(3000, 0x5A);
  WriteDeviceMemory(writer, kMouseVendorCollection, tooLong, 0);
  ASSERT_EQ(writer.reports.size(), 2u);
  const Bytes& sent = writer.reports[1].Data;
  EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 6), (Bytes{0x06, 0x02, 0, 0, 0x00, 0x08}));
  EXPECT_EQ(std::count(sent.begin(), sent.end(), 0x5A), 2048);
}

TEST(DeviceReports, SlotsAreWrittenInOrderWhenNotEmpty) {
  fakes::RecordingReportWriter writer;
  auto slots = std::make_unique<TDEVICEMACROSLOTS>();
  slots->Slots[1][0] = 0x81;
  slots->Lengths[1] = 3;
  slots->Lengths[3] = 1000;  // damaged: cut at the slot's end, never into slot 4
  slots->Slots[4][0] = 0x77;
  WriteMacroSlots(writer, kMouseVendorCollection, *slots, 209);

  ASSERT_EQ(writer.reports.size(), 2u);
  EXPECT_EQ(writer.reports[0].Data,
            Report({0x02, 0x02, 0x51, 0x02, 0x03, 0x00, 0xFA, 0xFA, 0x81}, 16));  // 593
  const Bytes& third = writer.reports[1].Data;
  EXPECT_EQ(Bytes(third.begin(), third.begin() + 6),
            (Bytes{0x04, 0x02, 0x51, 0x05, 0x80, 0x01}));  // 1361, 384
  EXPECT_EQ(std::count(third.begin(), third.end(), 0x77), 0);
}

TEST(DeviceReports, TransactionsAreShortReports) {
  fakes::RecordingReportWriter writer;
  SendTransactionCommand(writer, kMouseVendorCollection, kTransactionBegin);
  SendTransactionCommand(writer, kMouseVendorCollection, kTransactionEnd);
  ASSERT_EQ(writer.reports.size(), 2u);
  EXPECT_EQ(writer.reports[0].Data, kBegin);
  EXPECT_EQ(writer.reports[1].Data, kEnd);
}

// ---- Record helpers ----

TEST_F(DeviceUploadTest, SwapExchangesButtonsInRangeOnly) {
  for (int b = 0; b < kButtonCapacity; ++b) {
    Button(b).ButtonIndex = static_cast<std::uint16_t>(b);
  }
  SwapButtonFuncInfo(*profile_, 4, 5);
  EXPECT_EQ(Button(4).ButtonIndex, 5);
  EXPECT_EQ(Button(5).ButtonIndex, 4);
  SwapButtonFuncInfo(*profile_, 14, 0);
  EXPECT_EQ(Button(14).ButtonIndex, 0);
  EXPECT_EQ(Button(0).ButtonIndex, 14);
  for (const auto& [a, b] : {std::pair{3, 15}, std::pair{-1, 3}, std::pair{15, 16}}) {
    SwapButtonFuncInfo(*profile_, a, b);
    EXPECT_EQ(Button(3).ButtonIndex, 3);
  }
  EXPECT_EQ(profile_->ConfigInfo.VWheelButtonFuncInfo[0].ButtonIndex, 0);
}

TEST_F(DeviceUploadTest, FirstMacroIsLibraryEntryZero) {
  AddToLibrary(ClickMacro(3, 5, 2));
  AddToLibrary(ClickMacro(4, 1));
  const TMACROKEYINFO first = GetFirstMacroKeyInfo(*profile_);
  const auto expected = RecordBytes(profile_->MacroKeyInfoList.MacroInfos[0]);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), RecordBytes(first).begin()));
}

}  // namespace
}  // namespace monitor
