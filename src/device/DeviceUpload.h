// The upload of a profile's buttons and macros into the mouse's own memory:
// the conversion into the device's button table and macro slots, the
// write-memory and transaction commands, and their feature reports.
//
// The upload is one-way: nothing is read back, and no report's result is
// examined, so a missing mouse simply receives nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "device/HidTypes.h"
#include "device/UsageAndPage.h"
#include "profiles/ProfileRecords.h"

namespace monitor {

// ---- Device commands ----

inline constexpr std::size_t kDeviceCommandHeaderBytes = 8;
inline constexpr std::size_t kDeviceCommandPayloadBytes = 2048;

struct TDEVICECOMMAND {
  std::uint8_t Header[kDeviceCommandHeaderBytes];    // byte 0 the command code, 1 to 7 its parameters
  std::uint8_t Payload[kDeviceCommandPayloadBytes];  // the data that follows the header
};

inline constexpr std::uint8_t kCommandWriteMemory = 0x02;  // address, length, then 0xFA 0xFA 0xFA
inline constexpr std::uint8_t kCommandTransaction = 0x06;  // begin or end
inline constexpr std::uint8_t kTransactionBegin = 0;
inline constexpr std::uint8_t kTransactionEnd = 1;

// ---- Feature reports: a command goes out in the smallest class that holds it ----

struct FeatureReportClass {
  std::uint8_t ReportID;
  std::uint32_t Length;  // the bytes sent, report ID included
};

inline constexpr std::array<FeatureReportClass, 5> kFeatureReportClasses{{
    {2, 16},
    {3, 64},
    {4, 1024},
    {5, 2048},
    {6, 4096},
}};

// The class for a command of ACommandBytes header and payload bytes; report 2
// when none is large enough.
FeatureReportClass FeatureReportClassFor(std::size_t ACommandBytes);

// ---- The device's button table ----

inline constexpr int kDeviceButtonCapacity = 16;
// Every upload sends this many buttons, the last one forced to device code 13.
inline constexpr int kUploadedButtonCount = 10;
inline constexpr std::uint32_t kLastUploadedButtonDeviceCode = 13;

struct TDEVICEBUTTON {
  std::uint8_t DeviceCode;
  std::uint8_t Params[3];
};

struct TDEVICEBUTTONTABLE {
  std::uint8_t ButtonCount;  // entries in use; those beyond are zero
  TDEVICEBUTTON Buttons[kDeviceButtonCapacity];
};

// ---- The device's macro slots ----

inline constexpr int kDeviceMacroSlotCount = 5;
inline constexpr int kDeviceActionBytes = 3;
inline constexpr int kDeviceMacroSlotBytes = 384;  // 128 device actions

using TDEVICEACTION = std::array<std::uint8_t, kDeviceActionBytes>;

struct TDEVICEMACROSLOTS {
  std::uint8_t Slots[kDeviceMacroSlotCount][kDeviceMacroSlotBytes];
  std::uint32_t Lengths[kDeviceMacroSlotCount];  // bytes in use in each slot; 0 = empty
};

static_assert(kIsRecord<TDEVICECOMMAND> && sizeof(TDEVICECOMMAND) == 2056);
static_assert(kIsRecord<TDEVICEBUTTONTABLE> && sizeof(TDEVICEBUTTONTABLE) == 65);
static_assert(offsetof(TDEVICEBUTTONTABLE, Buttons) == 1);
static_assert(kIsRecord<TDEVICEMACROSLOTS> && sizeof(TDEVICEMACROSLOTS) == 5 * 384 + 5 * 4);

// ---- The device's memory map: one bank per on-board profile ----

struct DeviceBank {
  std::uint16_t ButtonTableAddress;
  std::uint16_t MacroSlotBase;  // slot k lies at MacroSlotBase + 384 * k
};

inline constexpr std::array<DeviceBank, 2> kDeviceBanks{{
    {144, 209},
    {2448, 2513},
}};

// ---- The slot list: which macro numbers get a device slot ----

struct MacroSlotList {
  std::array<std::uint16_t, kDeviceMacroSlotCount> MacroIndexes{};
  int Count = 0;

  // The slot of a macro number, or none when the macro has no slot.
  [[nodiscard]] std::optional<int> SlotOf(std::uint16_t AMacroIndex) const;
};

// The nMacroIndex of the macro of each macro button (FunctionKind 4) among
// buttons 0 .. AButtonCount - 1, in button order, each number once; the
// first five distinct numbers get slots 0 to 4 and any further one none.
MacroSlotList BuildMacroSlotList(const TMouseProfileInfo& AProfile, int AButtonCount);

// ---- Operations ----
//
// The sending operations pack each command into one feature report for the
// interface with the collection AUsageAndPage (callers pass
// kMouseVendorCollection) and ignore the results.

// Writes currentProfile's buttons and macros into on-board bank
// AProfileIndex (0 or 1; any other index writes nothing) as one transaction.
// currentProfile is not changed. processPendingMessages is called once after
// the button table and once after the macro slots.
void UploadProfileToDevice(const TMouseProfileInfo& currentProfile, std::int32_t AProfileIndex,
                           FeatureReportWriter& AHIDData, USAGE_AND_PAGE usage,
                           const std::function<void()>& processPendingMessages);

// AValue: kTransactionBegin or kTransactionEnd.
void SendTransactionCommand(FeatureReportWriter& AHIDData, USAGE_AND_PAGE AUsageAndPage, std::uint8_t AValue);

// One write-memory command of AData's bytes (at most the payload's 2048) at
// AAddress; nothing when AData is empty.
void WriteDeviceMemory(FeatureReportWriter& AHIDData, USAGE_AND_PAGE AUsageAndPage,
                       std::span<const std::uint8_t> AData, std::uint16_t AAddress);

void WriteButtonTable(FeatureReportWriter& AHIDData, USAGE_AND_PAGE AUsageAndPage,
                      const TDEVICEBUTTONTABLE& ATable, std::uint16_t AAddress);

// Writes each slot that is not empty at ABase + 384 * k, in slot order.
void WriteMacroSlots(FeatureReportWriter& AHIDData, USAGE_AND_PAGE AUsageAndPage,
                     const TDEVICEMACROSLOTS& ASlots, std::uint16_t ABase);

// Packs one command into its feature report and sends it; the writer's result.
std::uint32_t SendDeviceCommand(FeatureReportWriter& AHIDData, USAGE_AND_PAGE AUsageAndPage,
                                const TDEVICECOMMAND& ACommand);

TDEVICEBUTTONTABLE ConvertButtonTable(const TMouseProfileInfo& AProfile);

// Sets the five lengths and writes the slots of the macros on buttons 0 to
// 9; the bytes of other slots keep what the caller put there.
void ConvertMacroSlots(const TMouseProfileInfo& AProfile, TDEVICEMACROSLOTS& ASlots);

// One action in the device's form. A key action (type 4) expects the key
// code in AValue1 already; the caller looks it up.
TDEVICEACTION ConvertMacroAction(std::uint16_t AKeyType, std::uint16_t AKeyState, std::uint8_t AValue1,
                                 std::uint8_t AValue2);

// Exchanges two button records; does nothing when A or B is outside 0..14.
void SwapButtonFuncInfo(TMouseProfileInfo& AProfile, int A, int B);

// The first macro of the profile's macro library.
TMACROKEYINFO GetFirstMacroKeyInfo(const TMouseProfileInfo& AProfile);

}  // namespace monitor
