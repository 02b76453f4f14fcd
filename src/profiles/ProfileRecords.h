// The binary records shared with the configuration program and the mouse.
//
// Every record is a fixed little-endian byte image that is held in memory,
// written to the registry and written to ".pfd" files exactly as declared
// here. All padding is declared as explicit members so that copies carry it
// along and the compile-time checks below can prove there is no hidden
// padding: a record copied in and written back is byte-identical.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace monitor {

static_assert(std::endian::native == std::endian::little, "records are stored as little-endian byte images");

// Creation time stamp of a profile: one 8-byte value that is both raw bytes
// and an IEEE 754 double (days since 30 December 1899, local time). Kept as
// bytes so that no double alignment rule of any compiler can move it.
struct alignas(8) TProfileUIDData {
  std::uint8_t RawData[8];

  [[nodiscard]] double DataTime() const {
    double value;
    std::memcpy(&value, RawData, sizeof value);
    return value;
  }
  void SetDataTime(double value) { std::memcpy(RawData, &value, sizeof value); }
};

struct TProfileHeader {
  std::int32_t FFileVersion;
  std::uint8_t FFileType[8];
  std::uint8_t FFileName[44];
  std::uint32_t FProfileSize;
  std::uint8_t Pad60[4];
  TProfileUIDData FProfileUID;
};

struct TFUNCTIONLIST {
  std::uint8_t FunctionInfo[800];
};

struct TCPILEVELINFO {
  std::uint16_t CPIX;
  std::uint16_t CPIY;
  std::uint16_t LevelState;
};

struct TLEDCONFIG {
  std::uint8_t R;
  std::uint8_t G;
  std::uint8_t B;
  std::uint8_t BRIGHT_LEVEL;
  std::uint8_t BREATH_SPEED;
  std::uint8_t BREATH_SECOND;
};

struct TSENSORLIFT {
  std::uint8_t SensorLift;
};

struct TPROFILE_MACRO_PATH {
  char16_t FilePath[513];
};

struct TCOMBOKEYINFO {
  std::uint16_t nKeyValue1;
  std::uint16_t nKey1Extended;
  std::uint16_t nKeyValue2;
  std::uint16_t nKey2Extended;
  std::uint16_t nModifier;  // bit 0 Alt, bit 1 Ctrl, bit 2 Shift, bit 3 Windows
};

// One macro action. The two value bytes have a name per action type; the
// accessors give those names without type punning.
struct TMACROKEY {
  std::uint16_t nKeyType;
  std::uint16_t nKeyState;
  std::uint8_t VALUE1;
  std::uint8_t VALUE2;

  // nKeyType 1: mouse button
  std::uint8_t& MouseKeyValue() { return VALUE1; }
  [[nodiscard]] std::uint8_t MouseKeyValue() const { return VALUE1; }
  std::uint8_t& MouseKey_Index() { return VALUE2; }
  [[nodiscard]] std::uint8_t MouseKey_Index() const { return VALUE2; }
  // nKeyType 2: mouse movement
  std::uint8_t& MOUSE_X() { return VALUE1; }
  [[nodiscard]] std::uint8_t MOUSE_X() const { return VALUE1; }
  std::uint8_t& MOUSE_Y() { return VALUE2; }
  [[nodiscard]] std::uint8_t MOUSE_Y() const { return VALUE2; }
  // nKeyType 3: wheel notch
  std::uint8_t& WHEEL_VALUE() { return VALUE1; }
  [[nodiscard]] std::uint8_t WHEEL_VALUE() const { return VALUE1; }
  std::uint8_t& WHEEL_Index() { return VALUE2; }
  [[nodiscard]] std::uint8_t WHEEL_Index() const { return VALUE2; }
  // nKeyType 4: keyboard key
  std::uint8_t& nKeyValue() { return VALUE1; }
  [[nodiscard]] std::uint8_t nKeyValue() const { return VALUE1; }
  std::uint8_t& nKeyExtended() { return VALUE2; }
  [[nodiscard]] std::uint8_t nKeyExtended() const { return VALUE2; }
  // nKeyType 5: media key
  std::uint8_t& MediaKey_L() { return VALUE1; }
  [[nodiscard]] std::uint8_t MediaKey_L() const { return VALUE1; }
  std::uint8_t& MediaKey_H() { return VALUE2; }
  [[nodiscard]] std::uint8_t MediaKey_H() const { return VALUE2; }
  // nKeyType 6: delay in milliseconds, DELAY_L + 256 * DELAY_H
  std::uint8_t& DELAY_L() { return VALUE1; }
  [[nodiscard]] std::uint8_t DELAY_L() const { return VALUE1; }
  std::uint8_t& DELAY_H() { return VALUE2; }
  [[nodiscard]] std::uint8_t DELAY_H() const { return VALUE2; }
  // nKeyType 7: loop count, LOOP_L + 256 * LOOP_H
  std::uint8_t& LOOP_L() { return VALUE1; }
  [[nodiscard]] std::uint8_t LOOP_L() const { return VALUE1; }
  std::uint8_t& LOOP_H() { return VALUE2; }
  [[nodiscard]] std::uint8_t LOOP_H() const { return VALUE2; }
};

inline constexpr int kMacroActionCapacity = 128;
inline constexpr int kMacroNameLength = 50;  // code units, terminator included

struct TMACROKEYINFO {
  TMACROKEY MacroList[kMacroActionCapacity];
  std::int32_t MacroListCount;
  std::uint16_t nAutoAddDelay;
  std::uint16_t nLoopCount;
  std::uint16_t nMacroIndex;
  std::uint8_t MacroUse;
  std::uint8_t Pad779;
  char16_t szMacroName[kMacroNameLength];
  std::uint32_t Version;
  std::int32_t HaveErrors;
  std::int32_t ErrorCount;
};

inline constexpr int kMacroLibraryCapacity = 21;

struct TMACROKEYINFOLIST {
  TMACROKEYINFO MacroInfos[kMacroLibraryCapacity];
  std::uint16_t nMacroInfoCount;
  std::uint8_t Pad18734[2];
};

struct TMACROINFOLIST_TO_DEVICE {
  TMACROKEYINFO MacroInfos[5];
  std::uint16_t nMacroInfoCount;
  std::uint8_t Pad4462[2];
};

struct TBUTTONFUNCINFO {
  std::uint8_t Reserved0[2];
  std::uint16_t SingleKeyValue;
  std::uint16_t SingleKeyExtended;
  TCOMBOKEYINFO ComboKey;
  std::uint16_t MediaCodeLow;
  std::uint16_t MediaCodeHigh;
  std::uint8_t Reserved20[4];
  TMACROKEYINFO MacroKeyInfo;
  std::uint16_t ExtParam1;
  std::uint16_t ExtParam2;
  std::uint8_t Reserved920[4];
  std::uint32_t ExtParam3;
  std::uint8_t Reserved928[2820];
  std::uint8_t ReportCode[3];
  std::uint8_t Pad3751;
  std::uint16_t ButtonIndex;
  std::uint16_t FunctionIndex;
  std::uint8_t FunctionKind;
  std::uint8_t Pad3757[3];
  std::uint32_t DeviceCode;
  std::uint32_t FunctionID;
  std::uint8_t Reserved3768[4];
};

inline constexpr int kButtonCapacity = 15;
inline constexpr int kCPILevelCapacity = 11;

struct TMOUSECONFIGINFO {
  TBUTTONFUNCINFO ButtonFuncInfo[kButtonCapacity];
  TBUTTONFUNCINFO VWheelButtonFuncInfo[2];
  TBUTTONFUNCINFO HWheelButtonFuncInfo[2];
  std::uint16_t VWheelType;
  std::uint16_t HWheelType;
  std::uint16_t VWheelSpeed;
  std::uint16_t HWheelSpeed;
  std::uint16_t DoubleClickSpeed;
  std::uint16_t PointerSpeed;
  std::uint16_t PointerAcceleration;
  std::uint16_t UseSystemPointerSpeedSetting;
  std::uint16_t ReportRate;
  std::uint8_t Pad71686[2];
  std::int32_t CurrentCPIIndex;
  std::uint16_t CurrentCPIX;
  std::uint16_t CurrentCPIY;
  std::uint16_t MinCPI;
  std::uint16_t MaxCPI;
  std::uint16_t UseDiffentXY[kCPILevelCapacity];
  std::uint16_t UseCPIOnScreenFlyShow;
  TCPILEVELINFO CPIState[kCPILevelCapacity];
  std::uint16_t CPILevel;
  std::uint16_t AutoSwitchProfileWhenAppRun;
  std::uint8_t ApplicationList[10260];
  TLEDCONFIG LEDConfig;
  TSENSORLIFT Sensorlift;
  std::uint8_t Pad82061[3];
  std::int32_t ButtonCount;
  TPROFILE_MACRO_PATH ProfilePath;
  TPROFILE_MACRO_PATH MacroPath;
};

// In the profile manager's own copy, HelpFile and Nologo carry the
// configuration file's settings; in stored records they are carried unchanged.
struct TOtherConfig {
  std::int32_t ShowNumLock;
  std::int32_t ShowCapsLock;
  std::int32_t ShowScrollLock;
  std::int32_t ShowLockStatePop;
  std::uint32_t HelpFile;
  std::int32_t Nologo;
};

struct TMouseProfileInfo {
  TProfileHeader ProfileHeader;
  TFUNCTIONLIST FunctionList;
  TMOUSECONFIGINFO ConfigInfo;
  TFUNCTIONLIST HWheelFunctionList;
  TFUNCTIONLIST VWheelFunctionList;
  TMACROKEYINFOLIST MacroKeyInfoList;
  TMACROINFOLIST_TO_DEVICE MacroInfoToDevice;
  TOtherConfig OtherConfig;
};

inline constexpr int kPathLength = 1024;           // code units, terminator included
inline constexpr int kProfileFileNameLength = 21;  // no terminator when full

struct TPROFILESETTINGINFO {
  std::uint16_t SettingState;
  char16_t ProfileFilePath[kPathLength];
  char16_t ProfileKeyPath[kPathLength];
  char16_t ProfileFileName[kProfileFileNameLength];
  char16_t ProfileMacroPath[kPathLength];
  std::uint8_t StorageType;  // 0 registry value, 1 file
  std::uint8_t Pad6189;
};

inline constexpr int kProfileCount = 5;
inline constexpr int kProfileGroupCount = 2;

struct TALLGAMESINFO {
  TPROFILESETTINGINFO Allgameset[kProfileCount];
  std::uint16_t CurrentGame;
  std::uint8_t CurrentLanguage;
  std::uint8_t Pad30953;
};

struct TProfileSettingGroup {
  std::int32_t CurrentProfileGroup;
  std::int32_t ProfileIndexOfProfileGroup[kProfileGroupCount];
  TPROFILESETTINGINFO ProfileSettingList[kProfileCount];
  std::uint8_t Pad30962[2];
};

// A record is a plain byte image: copyable with memcpy, no hidden padding.
template <class T>
inline constexpr bool kIsRecord = std::is_trivially_copyable_v<T>&& std::is_standard_layout_v<T>&&
    std::has_unique_object_representations_v<T>;

// ---- Layout checks: these offsets are the stored format. ----

static_assert(kIsRecord<TProfileUIDData> && sizeof(TProfileUIDData) == 8);

static_assert(kIsRecord<TProfileHeader> && sizeof(TProfileHeader) == 72);
static_assert(offsetof(TProfileHeader, FFileVersion) == 0);
static_assert(offsetof(TProfileHeader, FFileType) == 4);
static_assert(offsetof(TProfileHeader, FFileName) == 12);
static_assert(offsetof(TProfileHeader, FProfileSize) == 56);
static_assert(offsetof(TProfileHeader, FProfileUID) == 64);

static_assert(kIsRecord<TFUNCTIONLIST> && sizeof(TFUNCTIONLIST) == 800);
static_assert(kIsRecord<TCPILEVELINFO> && sizeof(TCPILEVELINFO) == 6);
static_assert(offsetof(TCPILEVELINFO, CPIY) == 2 && offsetof(TCPILEVELINFO, LevelState) == 4);
static_assert(kIsRecord<TLEDCONFIG> && sizeof(TLEDCONFIG) == 6);
static_assert(offsetof(TLEDCONFIG, BRIGHT_LEVEL) == 3 && offsetof(TLEDCONFIG, BREATH_SECOND) == 5);
static_assert(kIsRecord<TSENSORLIFT> && sizeof(TSENSORLIFT) == 1);
static_assert(kIsRecord<TPROFILE_MACRO_PATH> && sizeof(TPROFILE_MACRO_PATH) == 1026);

static_assert(kIsRecord<TCOMBOKEYINFO> && sizeof(TCOMBOKEYINFO) == 10);
static_assert(offsetof(TCOMBOKEYINFO, nKeyValue2) == 4 && offsetof(TCOMBOKEYINFO, nModifier) == 8);

static_assert(kIsRecord<TMACROKEY> && sizeof(TMACROKEY) == 6);
static_assert(offsetof(TMACROKEY, nKeyState) == 2);
static_assert(offsetof(TMACROKEY, VALUE1) == 4 && offsetof(TMACROKEY, VALUE2) == 5);

static_assert(kIsRecord<TMACROKEYINFO> && sizeof(TMACROKEYINFO) == 892);
static_assert(offsetof(TMACROKEYINFO, MacroListCount) == 768);
static_assert(offsetof(TMACROKEYINFO, nAutoAddDelay) == 772);
static_assert(offsetof(TMACROKEYINFO, nLoopCount) == 774);
static_assert(offsetof(TMACROKEYINFO, nMacroIndex) == 776);
static_assert(offsetof(TMACROKEYINFO, MacroUse) == 778);
static_assert(offsetof(TMACROKEYINFO, szMacroName) == 780);
static_assert(offsetof(TMACROKEYINFO, Version) == 880);
static_assert(offsetof(TMACROKEYINFO, HaveErrors) == 884);
static_assert(offsetof(TMACROKEYINFO, ErrorCount) == 888);

static_assert(kIsRecord<TMACROKEYINFOLIST> && sizeof(TMACROKEYINFOLIST) == 18736);
static_assert(offsetof(TMACROKEYINFOLIST, nMacroInfoCount) == 18732);
static_assert(kIsRecord<TMACROINFOLIST_TO_DEVICE> && sizeof(TMACROINFOLIST_TO_DEVICE) == 4464);
static_assert(offsetof(TMACROINFOLIST_TO_DEVICE, nMacroInfoCount) == 4460);

static_assert(kIsRecord<TBUTTONFUNCINFO> && sizeof(TBUTTONFUNCINFO) == 3772);
static_assert(offsetof(TBUTTONFUNCINFO, SingleKeyValue) == 2);
static_assert(offsetof(TBUTTONFUNCINFO, SingleKeyExtended) == 4);
static_assert(offsetof(TBUTTONFUNCINFO, ComboKey) == 6);
static_assert(offsetof(TBUTTONFUNCINFO, MediaCodeLow) == 16);
static_assert(offsetof(TBUTTONFUNCINFO, MediaCodeHigh) == 18);
static_assert(offsetof(TBUTTONFUNCINFO, MacroKeyInfo) == 24);
static_assert(offsetof(TBUTTONFUNCINFO, ExtParam1) == 916);
static_assert(offsetof(TBUTTONFUNCINFO, ExtParam2) == 918);
static_assert(offsetof(TBUTTONFUNCINFO, ExtParam3) == 924);
static_assert(offsetof(TBUTTONFUNCINFO, ReportCode) == 3748);
static_assert(offsetof(TBUTTONFUNCINFO, ButtonIndex) == 3752);
static_assert(offsetof(TBUTTONFUNCINFO, FunctionIndex) == 3754);
static_assert(offsetof(TBUTTONFUNCINFO, FunctionKind) == 3756);
static_assert(offsetof(TBUTTONFUNCINFO, DeviceCode) == 3760);
static_assert(offsetof(TBUTTONFUNCINFO, FunctionID) == 3764);

static_assert(kIsRecord<TMOUSECONFIGINFO> && sizeof(TMOUSECONFIGINFO) == 84120);
static_assert(offsetof(TMOUSECONFIGINFO, VWheelButtonFuncInfo) == 56580);
static_assert(offsetof(TMOUSECONFIGINFO, HWheelButtonFuncInfo) == 64124);
static_assert(offsetof(TMOUSECONFIGINFO, VWheelType) == 71668);
static_assert(offsetof(TMOUSECONFIGINFO, HWheelType) == 71670);
static_assert(offsetof(TMOUSECONFIGINFO, VWheelSpeed) == 71672);
static_assert(offsetof(TMOUSECONFIGINFO, HWheelSpeed) == 71674);
static_assert(offsetof(TMOUSECONFIGINFO, DoubleClickSpeed) == 71676);
static_assert(offsetof(TMOUSECONFIGINFO, PointerSpeed) == 71678);
static_assert(offsetof(TMOUSECONFIGINFO, PointerAcceleration) == 71680);
static_assert(offsetof(TMOUSECONFIGINFO, UseSystemPointerSpeedSetting) == 71682);
static_assert(offsetof(TMOUSECONFIGINFO, ReportRate) == 71684);
static_assert(offsetof(TMOUSECONFIGINFO, CurrentCPIIndex) == 71688);
static_assert(offsetof(TMOUSECONFIGINFO, CurrentCPIX) == 71692);
static_assert(offsetof(TMOUSECONFIGINFO, CurrentCPIY) == 71694);
static_assert(offsetof(TMOUSECONFIGINFO, MinCPI) == 71696);
static_assert(offsetof(TMOUSECONFIGINFO, MaxCPI) == 71698);
static_assert(offsetof(TMOUSECONFIGINFO, UseDiffentXY) == 71700);
static_assert(offsetof(TMOUSECONFIGINFO, UseCPIOnScreenFlyShow) == 71722);
static_assert(offsetof(TMOUSECONFIGINFO, CPIState) == 71724);
static_assert(offsetof(TMOUSECONFIGINFO, CPILevel) == 71790);
static_assert(offsetof(TMOUSECONFIGINFO, AutoSwitchProfileWhenAppRun) == 71792);
static_assert(offsetof(TMOUSECONFIGINFO, ApplicationList) == 71794);
static_assert(offsetof(TMOUSECONFIGINFO, LEDConfig) == 82054);
static_assert(offsetof(TMOUSECONFIGINFO, Sensorlift) == 82060);
static_assert(offsetof(TMOUSECONFIGINFO, ButtonCount) == 82064);
static_assert(offsetof(TMOUSECONFIGINFO, ProfilePath) == 82068);
static_assert(offsetof(TMOUSECONFIGINFO, MacroPath) == 83094);

static_assert(kIsRecord<TOtherConfig> && sizeof(TOtherConfig) == 24);
static_assert(offsetof(TOtherConfig, HelpFile) == 16 && offsetof(TOtherConfig, Nologo) == 20);

static_assert(kIsRecord<TMouseProfileInfo> && sizeof(TMouseProfileInfo) == 109816);
static_assert(offsetof(TMouseProfileInfo, FunctionList) == 72);
static_assert(offsetof(TMouseProfileInfo, ConfigInfo) == 872);
static_assert(offsetof(TMouseProfileInfo, HWheelFunctionList) == 84992);
static_assert(offsetof(TMouseProfileInfo, VWheelFunctionList) == 85792);
static_assert(offsetof(TMouseProfileInfo, MacroKeyInfoList) == 86592);
static_assert(offsetof(TMouseProfileInfo, MacroInfoToDevice) == 105328);
static_assert(offsetof(TMouseProfileInfo, OtherConfig) == 109792);

static_assert(kIsRecord<TPROFILESETTINGINFO> && sizeof(TPROFILESETTINGINFO) == 6190);
static_assert(offsetof(TPROFILESETTINGINFO, ProfileFilePath) == 2);
static_assert(offsetof(TPROFILESETTINGINFO, ProfileKeyPath) == 2050);
static_assert(offsetof(TPROFILESETTINGINFO, ProfileFileName) == 4098);
static_assert(offsetof(TPROFILESETTINGINFO, ProfileMacroPath) == 4140);
static_assert(offsetof(TPROFILESETTINGINFO, StorageType) == 6188);

static_assert(kIsRecord<TALLGAMESINFO> && sizeof(TALLGAMESINFO) == 30954);
static_assert(offsetof(TALLGAMESINFO, CurrentGame) == 30950);
static_assert(offsetof(TALLGAMESINFO, CurrentLanguage) == 30952);

static_assert(kIsRecord<TProfileSettingGroup> && sizeof(TProfileSettingGroup) == 30964);
static_assert(offsetof(TProfileSettingGroup, ProfileIndexOfProfileGroup) == 4);
static_assert(offsetof(TProfileSettingGroup, ProfileSettingList) == 12);

}  // namespace monitor
