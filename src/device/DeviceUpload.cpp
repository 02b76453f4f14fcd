#include "device/DeviceUpload.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "device/KeyCodes.h"
#include "profiles/CodeTables.h"
#include "profiles/RecordImage.h"

namespace monitor {
namespace {

constexpr std::uint8_t kWriteMemoryFiller = 0xFA;

// Device codes whose parameters the button table carries.
constexpr std::uint8_t kDeviceCodeExtParam3First = 11;
constexpr std::uint8_t kDeviceCodeExtParam3Second = 12;
constexpr std::uint8_t kDeviceCodeMediaKey = 14;
constexpr std::uint8_t kDeviceCodeKeyCombination = 15;
constexpr std::uint8_t kDeviceCodeSingleKey = 16;
constexpr std::uint8_t kDeviceCodeMacro = 17;
constexpr std::uint8_t kDeviceCodeExtParam1And2 = 18;
constexpr std::uint8_t kDeviceCodeReport = 19;

constexpr std::uint8_t LowByte(std::uint32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
constexpr std::uint8_t HighByte(std::uint32_t value) {
  return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// A key in one byte of the keyboard page. The consumer-page codes above 255
// (browser and launch keys) do not fit; their low byte would be another,
// wrong key, so they travel as 0, no key.
std::uint8_t KeyByte(std::uint16_t virtualKey, std::int32_t extended) {
  const std::int32_t code = GetHIDCodeByVK(virtualKey, extended);
  return code > 0xFF ? 0 : static_cast<std::uint8_t>(code);
}

// The actions of a macro that its slot holds. A count outside 0..128 is
// damaged data and is clipped so that nothing past the action list is read.
// A loop action takes the last of the 128 places: the first 127 actions are
// kept with the loop the user asked for.
int SlotActionCount(const TMACROKEYINFO& macro) {
  const int count = std::clamp(macro.MacroListCount, 0, kMacroActionCapacity);
  return macro.nLoopCount != 0 ? std::min(count, kMacroActionCapacity - 1) : count;
}

// The bytes a macro fills in its slot. The button table states its lengths
// by the same rule, so that a clipped macro is never announced longer than
// its slot holds.
int SlotLength(const TMACROKEYINFO& macro) {
  return kDeviceActionBytes * (SlotActionCount(macro) + (macro.nLoopCount != 0 ? 1 : 0));
}

TDEVICEBUTTON ConvertButton(const TBUTTONFUNCINFO& button, const MacroSlotList& slotList) {
  // The mouse receives the low byte of the device code, so the parameters
  // follow that byte too.
  const std::uint8_t code = LowByte(button.DeviceCode);
  switch (code) {
    case kDeviceCodeExtParam3First:
    case kDeviceCodeExtParam3Second:
      return {code, {LowByte(button.ExtParam3), 0, 0}};  // only its low 8 bits are used
    case kDeviceCodeMediaKey:
      // Each half of the media code is kept in the low 8 bits of its field.
      return {code, {0, LowByte(button.MediaCodeLow), LowByte(button.MediaCodeHigh)}};
    case kDeviceCodeKeyCombination: {
      const TCOMBOKEYINFO& combo = button.ComboKey;
      // nModifier uses bits 0 to 3 only; higher bits are dropped either way.
      return {
          code,
          {ConvertModifiersToHID(LowByte(combo.nModifier)), KeyByte(combo.nKeyValue1, combo.nKey1Extended),
           KeyByte(combo.nKeyValue2, combo.nKey2Extended)}};
    }
    case kDeviceCodeSingleKey:
      return {code, {0, KeyByte(button.SingleKeyValue, button.SingleKeyExtended), 0}};
    case kDeviceCodeMacro: {
      // A macro without a slot (a sixth one, or one on a button that is not
      // a macro button) must not point at another macro's slot: the button
      // does nothing instead.
      const std::optional<int> slot = slotList.SlotOf(button.MacroKeyInfo.nMacroIndex);
      if (!slot) {
        return {};
      }
      const auto length = static_cast<std::uint32_t>(SlotLength(button.MacroKeyInfo));
      return {code, {static_cast<std::uint8_t>(*slot), LowByte(length), HighByte(length)}};
    }
    case kDeviceCodeExtParam1And2:
      // ExtParam1 uses its low 8 bits, ExtParam2 all 16.
      return {code, {LowByte(button.ExtParam1), LowByte(button.ExtParam2), HighByte(button.ExtParam2)}};
    case kDeviceCodeReport:
      return {code, {button.ReportCode[0], button.ReportCode[1], button.ReportCode[2]}};
    default:
      return {code, {0, 0, 0}};
  }
}

// The payload length a command's header states.
std::size_t PayloadLengthOf(const TDEVICECOMMAND& command) {
  switch (command.Header[0] & 0x7F) {
    case 0:
      return command.Header[2];
    case 2:
    case 3:
      return command.Header[3] | static_cast<std::size_t>(command.Header[4]) << 8;
    default:
      return 0;
  }
}

// ms / 10 rounded to the nearest integer, halves to the even neighbour.
std::uint32_t TensOfMilliseconds(std::uint32_t milliseconds) {
  std::uint32_t tens = milliseconds / 10;
  const std::uint32_t rest = milliseconds % 10;
  if (rest > 5 || (rest == 5 && tens % 2 == 1)) {
    ++tens;
  }
  return tens;
}

}  // namespace

FeatureReportClass FeatureReportClassFor(std::size_t ACommandBytes) {
  for (const FeatureReportClass& reportClass : kFeatureReportClasses) {
    if (ACommandBytes <= reportClass.Length) {
      return reportClass;
    }
  }
  return kFeatureReportClasses.front();
}

std::optional<int> MacroSlotList::SlotOf(std::uint16_t AMacroIndex) const {
  for (int slot = 0; slot < Count; ++slot) {
    if (MacroIndexes[static_cast<std::size_t>(slot)] == AMacroIndex) {
      return slot;
    }
  }
  return std::nullopt;
}

MacroSlotList BuildMacroSlotList(const TMouseProfileInfo& AProfile, int AButtonCount) {
  MacroSlotList list;
  const int buttonCount = std::clamp(AButtonCount, 0, kButtonCapacity);
  for (int i = 0; i < buttonCount; ++i) {
    const TBUTTONFUNCINFO& button = AProfile.ConfigInfo.ButtonFuncInfo[i];
    const std::uint16_t macroIndex = button.MacroKeyInfo.nMacroIndex;
    if (button.FunctionKind == kFunctionKindMacro && !list.SlotOf(macroIndex) &&
        list.Count < kDeviceMacroSlotCount) {
      list.MacroIndexes[static_cast<std::size_t>(list.Count++)] = macroIndex;
    }
  }
  return list;
}

void UploadProfileToDevice(const TMouseProfileInfo& currentProfile, std::int32_t AProfileIndex,
                           FeatureReportWriter& AHIDData, USAGE_AND_PAGE usage,
                           const std::function<void()>& processPendingMessages) {
  SendTransactionCommand(AHIDData, usage, kTransactionBegin);

  // A copy in the device's button order, which swaps buttons 4 and 5, and 7 and 8.
  const auto profile = std::make_unique<TMouseProfileInfo>(currentProfile);  // 110 KB: off the stack
  SwapButtonFuncInfo(*profile, 4, 5);
  SwapButtonFuncInfo(*profile, 7, 8);
  TMOUSECONFIGINFO& config = profile->ConfigInfo;
  config.ButtonCount = kUploadedButtonCount;
  TBUTTONFUNCINFO& lastButton = config.ButtonFuncInfo[kUploadedButtonCount - 1];
  lastButton.FunctionKind = 0;
  lastButton.DeviceCode = kLastUploadedButtonDeviceCode;

  const bool knownBank = AProfileIndex >= 0 && AProfileIndex < static_cast<std::int32_t>(kDeviceBanks.size());
  if (knownBank && GetFirstMacroKeyInfo(*profile).MacroListCount > 0) {
    TDEVICEMACROSLOTS slots{};
    ConvertMacroSlots(*profile, slots);
    const TDEVICEBUTTONTABLE table = ConvertButtonTable(*profile);
    const DeviceBank& bank = kDeviceBanks[static_cast<std::size_t>(AProfileIndex)];
    WriteButtonTable(AHIDData, usage, table, bank.ButtonTableAddress);
    processPendingMessages();
    WriteMacroSlots(AHIDData, usage, slots, bank.MacroSlotBase);
    processPendingMessages();
  }

  SendTransactionCommand(AHIDData, usage, kTransactionEnd);
}

void SendTransactionCommand(FeatureReportWriter& AHIDData, USAGE_AND_PAGE AUsageAndPage,
                            std::uint8_t AValue) {
  TDEVICECOMMAND command{};
  command.Header[0] = kCommandTransaction;
  command.Header[1] = AValue;
  SendDeviceCommand(AHIDData, AUsageAndPage, command);
}

void WriteDeviceMemory(FeatureReportWriter& AHIDData, USAGE_AND_PAGE AUsageAndPage,
                       std::span<const std::uint8_t> AData, std::uint16_t AAddress) {
  // The header states only the bytes the payload really carries.
  const std::size_t length = std::min(AData.size(), kDeviceCommandPayloadBytes);
  if (length == 0) {
    return;
  }
  TDEVICECOMMAND command{};
  const auto length16 = static_cast<std::uint16_t>(length);
  const std::uint8_t header[kDeviceCommandHeaderBytes] = {
      kCommandWriteMemory, LowByte(AAddress),  HighByte(AAddress), LowByte(length16),
      HighByte(length16),  kWriteMemoryFiller, kWriteMemoryFiller, kWriteMemoryFiller};
  std::copy(std::begin(header), std::end(header), command.Header);
  std::copy_n(AData.begin(), length, command.Payload);
  SendDeviceCommand(AHIDData, AUsageAndPage, command);
}

void WriteButtonTable(FeatureReportWriter& AHIDData, USAGE_AND_PAGE AUsageAndPage,
                      const TDEVICEBUTTONTABLE& ATable, std::uint16_t AAddress) {
  WriteDeviceMemory(AHIDData, AUsageAndPage, RecordBytes(ATable), AAddress);
}

void WriteMacroSlots(FeatureReportWriter& AHIDData, USAGE_AND_PAGE AUsageAndPage,
                     const TDEVICEMACROSLOTS& ASlots, std::uint16_t ABase) {
  for (int k = 0; k < kDeviceMacroSlotCount; ++k) {
    // A length beyond the slot would send the next slot's bytes; it is cut.
    const std::size_t length = std::min<std::size_t>(ASlots.Lengths[k], kDeviceMacroSlotBytes);
    const auto address = static_cast<std::uint16_t>(ABase + kDeviceMacroSlotBytes * k);
    WriteDeviceMemory(AHIDData, AUsageAndPage, std::span(ASlots.Slots[k], length), address);
  }
}

std::uint32_t SendDeviceCommand(FeatureReportWriter& AHIDData, USAGE_AND_PAGE AUsageAndPage,
                                const TDEVICECOMMAND& ACommand) {
  const std::size_t payloadLength = PayloadLengthOf(ACommand);
  const FeatureReportClass reportClass = FeatureReportClassFor(kDeviceCommandHeaderBytes + payloadLength);

  THIDDataParam block;
  block.UsageAndPage = AUsageAndPage;
  block.DATASIZE = reportClass.Length;
  block.Data.assign(reportClass.Length, 0);
  block.Data[0] = reportClass.ReportID;
  // The header's byte 7 is not sent.
  std::copy_n(ACommand.Header, kDeviceCommandHeaderBytes - 1, block.Data.begin() + 1);
  // A header may state more than the payload holds or the report has room
  // for (the fallback class); only what exists and fits is copied.
  const std::size_t payloadRoom = reportClass.Length - kDeviceCommandHeaderBytes;
  const std::size_t copied = std::min({payloadLength, payloadRoom, kDeviceCommandPayloadBytes});
  std::copy_n(ACommand.Payload, copied, block.Data.begin() + kDeviceCommandHeaderBytes);
  return AHIDData.HidFindAndSetFeatureReport(block);
}

TDEVICEBUTTONTABLE ConvertButtonTable(const TMouseProfileInfo& AProfile) {
  TDEVICEBUTTONTABLE table{};
  // A count outside the table's room of 16 is damaged data. The profile holds
  // 15 button records, so a 16th entry has none behind it and stays "no
  // action" (all zero).
  const int count = std::clamp(AProfile.ConfigInfo.ButtonCount, 0, kDeviceButtonCapacity);
  const int converted = std::min(count, kButtonCapacity);
  table.ButtonCount = static_cast<std::uint8_t>(count);
  const MacroSlotList slotList = BuildMacroSlotList(AProfile, converted);
  for (int i = 0; i < converted; ++i) {
    table.Buttons[i] = ConvertButton(AProfile.ConfigInfo.ButtonFuncInfo[i], slotList);
  }
  return table;
}

void ConvertMacroSlots(const TMouseProfileInfo& AProfile, TDEVICEMACROSLOTS& ASlots) {
  std::fill(std::begin(ASlots.Lengths), std::end(ASlots.Lengths), 0u);
  const MacroSlotList slotList = BuildMacroSlotList(AProfile, kUploadedButtonCount);
  const TMACROKEYINFOLIST& library = AProfile.MacroKeyInfoList;
  // A count beyond the library's 21 macros is damaged data; nothing past them is read.
  const int macroCount = std::min<int>(library.nMacroInfoCount, kMacroLibraryCapacity);
  for (int i = 0; i < macroCount; ++i) {
    const TMACROKEYINFO& macro = library.MacroInfos[i];
    const std::optional<int> slot = slotList.SlotOf(macro.nMacroIndex);
    if (!slot) {
      continue;
    }
    // A later macro with the same number replaces the earlier one.
    std::uint8_t* bytes = ASlots.Slots[*slot];
    const int actionCount = SlotActionCount(macro);
    for (int j = 0; j < actionCount; ++j) {
      const TMACROKEY& action = macro.MacroList[j];
      const std::uint8_t value1 = action.nKeyType == static_cast<std::uint16_t>(ActionType::Key)
                                      ? KeyByte(action.VALUE1, action.VALUE2)
                                      : action.VALUE1;
      const TDEVICEACTION converted =
          ConvertMacroAction(action.nKeyType, action.nKeyState, value1, action.VALUE2);
      std::copy(converted.begin(), converted.end(), bytes + kDeviceActionBytes * j);
    }
    if (macro.nLoopCount != 0) {
      const TDEVICEACTION loop = ConvertMacroAction(static_cast<std::uint16_t>(ActionType::Loop), 0,
                                                    LowByte(macro.nLoopCount), HighByte(macro.nLoopCount));
      std::copy(loop.begin(), loop.end(), bytes + kDeviceActionBytes * actionCount);
    }
    ASlots.Lengths[*slot] = static_cast<std::uint32_t>(SlotLength(macro));
  }
}

TDEVICEACTION ConvertMacroAction(std::uint16_t AKeyType, std::uint16_t AKeyState, std::uint8_t AValue1,
                                 std::uint8_t AValue2) {
  if (AKeyState > 1) {
    return {0, 0, 0};
  }
  if (AKeyType == static_cast<std::uint16_t>(ActionType::Delay)) {
    // The mouse counts delays in tens of milliseconds, at least one.
    const std::uint32_t tens = std::max(TensOfMilliseconds(AValue1 + 256u * AValue2), 1u);
    return {static_cast<std::uint8_t>(ActionType::Delay), LowByte(tens), HighByte(tens)};
  }
  // A press sets bit 7; the mouse receives the low byte of the type.
  return {LowByte(AKeyType | static_cast<std::uint32_t>(AKeyState) << 7), AValue1, AValue2};
}

void SwapButtonFuncInfo(TMouseProfileInfo& AProfile, int A, int B) {
  const auto inRange = [](int button) { return button >= 0 && button < kButtonCapacity; };
  if (inRange(A) && inRange(B)) {
    std::swap(AProfile.ConfigInfo.ButtonFuncInfo[A], AProfile.ConfigInfo.ButtonFuncInfo[B]);
  }
}

TMACROKEYINFO GetFirstMacroKeyInfo(const TMouseProfileInfo& AProfile) {
  return AProfile.MacroKeyInfoList.MacroInfos[0];
}

}  // namespace monitor
