// The factory values TDM writes into a store whose record is missing, or on
// request. A handler writes only the fields listed for it; every other byte
// keeps what the stream held.
#include <algorithm>
#include <memory>
#include <string>

#include "i18n/LanguageId.h"
#include "macros/MacroModel.h"
#include "platform/PlatformError.h"
#include "platform/Utf8.h"
#include "profiles/CodeTables.h"
#include "profiles/DateTime.h"
#include "profiles/FixedText.h"
#include "profiles/PathText.h"
#include "profiles/ProfileManager.h"
#include "profiles/RecordImage.h"

namespace monitor {
namespace {

constexpr std::uint32_t kErrorPathNotFound = 3;

// Edits the record held at the start of a stream, growing the stream to the
// record's size first (new bytes zero) so that no write falls outside it.
template <class Record, class Edit>
void EditStreamAs(ProfileStream& stream, Edit edit) {
  if (stream.size() < sizeof(Record)) {
    stream.resize(sizeof(Record));
  }
  auto record = std::make_unique<Record>();
  CopyImageInto(*record, stream);
  edit(*record);
  const auto bytes = RecordBytes(*record);
  std::copy(bytes.begin(), bytes.end(), stream.begin());
}

struct FactoryCpiLevel {
  std::uint16_t cpi;
  std::uint16_t state;
};
// Levels 4 to 9 are written as unused; level 10 is left alone.
constexpr FactoryCpiLevel kFactoryCpiLevels[10] = {{1000, 1}, {2000, 1}, {4000, 1}, {8000, 1}, {0, 0},
                                                   {0, 0},    {0, 0},    {0, 0},    {0, 0},    {0, 0}};

void WriteFactoryCpiLevels(TMOUSECONFIGINFO& config) {
  for (std::size_t level = 0; level < std::size(kFactoryCpiLevels); ++level) {
    config.CPIState[level] = {kFactoryCpiLevels[level].cpi, kFactoryCpiLevels[level].cpi,
                              kFactoryCpiLevels[level].state};
  }
  config.CurrentCPIIndex = 1;
}

void WriteUseDifferentXY(TMOUSECONFIGINFO& config, std::uint16_t value) {
  std::fill_n(config.UseDiffentXY, 4, value);
}

// Blue light; the breathing period is left alone.
void WriteFactoryLight(TLEDCONFIG& light) {
  light.R = 0;
  light.G = 0;
  light.B = 255;
  light.BRIGHT_LEVEL = 1;
  light.BREATH_SPEED = 1;
}

void WriteFactoryGeneralSettings(TMOUSECONFIGINFO& config) {
  config.VWheelSpeed = 3;
  config.DoubleClickSpeed = 550;
  config.PointerSpeed = 10;
  config.PointerAcceleration = 0;
  config.ReportRate = 500;
  config.CPILevel = 4;
  WriteFactoryLight(config.LEDConfig);
  WriteFactoryCpiLevels(config);
  WriteUseDifferentXY(config, 1);
}

void AssignFunction(TBUTTONFUNCINFO& button, std::uint16_t buttonIndex, std::uint16_t functionIndex,
                    std::uint8_t functionKind) {
  button.ButtonIndex = buttonIndex;
  button.FunctionIndex = functionIndex;
  button.FunctionKind = functionKind;
  button.DeviceCode = kButtonFunctionTable[functionIndex].DeviceCode;
  button.FunctionID = kButtonFunctionTable[functionIndex].FunctionID;
}

void AssignSingleKey(TBUTTONFUNCINFO& button, std::uint16_t buttonIndex, std::uint16_t virtualKey) {
  AssignFunction(button, buttonIndex, 5, 8);
  button.SingleKeyValue = virtualKey;
  button.SingleKeyExtended = 0;
}

constexpr std::uint16_t kVkLeftShift = 160;
constexpr std::uint16_t kVkLeftControl = 162;
constexpr std::uint16_t kVkLeftAlt = 164;

// A double left click: press, 6 ms, release, 15 ms, press, 6 ms, release.
TMACROKEY Action(ActionType type, KeyState state, std::uint8_t value1, std::uint8_t value2) {
  return {static_cast<std::uint16_t>(type), static_cast<std::uint16_t>(state), value1, value2};
}
const TMACROKEY kFactoryMacro[] = {
    Action(ActionType::MouseButton, KeyState::Down, kMouseLeft.Bit, kMouseLeft.Index),
    Action(ActionType::Delay, KeyState::Up, 6, 0),
    Action(ActionType::MouseButton, KeyState::Up, kMouseLeft.Bit, kMouseLeft.Index),
    Action(ActionType::Delay, KeyState::Up, 15, 0),
    Action(ActionType::MouseButton, KeyState::Down, kMouseLeft.Bit, kMouseLeft.Index),
    Action(ActionType::Delay, KeyState::Up, 6, 0),
    Action(ActionType::MouseButton, KeyState::Up, kMouseLeft.Bit, kMouseLeft.Index),
};

std::u16string Decimal(int number) {
  const std::string text = std::to_string(number);
  return {text.begin(), text.end()};
}

}  // namespace

void TDM::xaProfileGame1RestoreToDefault(ProfileStream& AStream) {
  const double now = DateTimeOf(services_.clock.LocalNow());
  const std::u16string macroName = services_.translate(u"User Recorded");
  EditStreamAs<TMouseProfileInfo>(AStream, [&](TMouseProfileInfo& profile) {
    profile.ProfileHeader.FProfileUID.SetDataTime(now);
    profile.ProfileHeader.FFileVersion = kRecordFormatVersion;
    profile.ConfigInfo.ButtonCount = 7;
    profile.MacroKeyInfoList.nMacroInfoCount = 0;

    // The library becomes the factory macro alone, made as the macro editor makes one.
    const auto model = TxaMacroClass::CtlCreate(profile.MacroKeyInfoList);
    model->CreateNewMacro(macroName);
    model->SetMacroListIndex(0);
    auto macro = std::make_unique<TMACROKEYINFO>();
    model->GetCurrentMacroKeyItem(*macro);
    std::copy(std::begin(kFactoryMacro), std::end(kFactoryMacro), macro->MacroList);
    macro->MacroListCount = static_cast<std::int32_t>(std::size(kFactoryMacro));
    macro->nAutoAddDelay = 1;
    macro->nLoopCount = 0;
    model->SaveBackCurrentMacroKeyInfo(*macro);
    model->GetMacroKeyInfoList(profile.MacroKeyInfoList);

    // Buttons 0 to 9 lose their parameters, macro and report code; the
    // fields from ButtonIndex on are kept unless assigned below.
    TBUTTONFUNCINFO* buttons = profile.ConfigInfo.ButtonFuncInfo;
    for (int b = 0; b < 10; ++b) {
      std::fill_n(RecordBytes(buttons[b]).begin(), offsetof(TBUTTONFUNCINFO, ButtonIndex), std::uint8_t{0});
    }
    AssignFunction(buttons[0], 0, 0, 1);
    AssignFunction(buttons[1], 1, 1, 1);
    AssignFunction(buttons[2], 2, 2, 1);
    AssignSingleKey(buttons[3], 3, kVkLeftControl);
    AssignSingleKey(buttons[4], 4, kVkLeftShift);
    AssignSingleKey(buttons[5], 5, kVkLeftAlt);
    AssignFunction(buttons[6], 6, kFunctionPlayMacro, kFunctionKindMacro);
    buttons[6].MacroKeyInfo = *macro;
    buttons[6].MacroKeyInfo.nMacroIndex = 0;
    AssignFunction(buttons[7], 7, kFunctionRecordMacro, 11);
    std::copy_n(kReportCodes[7].begin(), 3, buttons[7].ReportCode);
    AssignFunction(buttons[8], 8, 30, 0);

    WriteFactoryGeneralSettings(profile.ConfigInfo);
  });
}

void TDM::xaProfileAllSettingInfoRestoreToDefault(ProfileStream& AStream) {
  const std::uint16_t language = services_.locale.SystemDefaultLanguageId();
  EditStreamAs<TALLGAMESINFO>(AStream, [&](TALLGAMESINFO& settings) {
    for (TPROFILESETTINGINFO& entry : settings.Allgameset) {
      entry.SettingState = 0;
      entry.StorageType = 0;
      entry.ProfileFilePath[0] = u'\0';
    }
    settings.CurrentGame = 0;
    settings.Allgameset[0].SettingState = 1;
    // Positions of the built-in languages: 0 English, 1 Simplified and 2 Traditional Chinese.
    const std::u16string id = LanguageIdText(language);
    settings.CurrentLanguage = id == u"0804" ? 1 : id == u"0404" ? 2 : 0;
  });
}

void TDM::xaProfileSettingGroupRestoreToDefault(ProfileStream& AStream) {
  const std::u16string folder = GetProfileFolder();
  std::u16string macroFolders[kProfileCount];
  EditStreamAs<TProfileSettingGroup>(AStream, [&](TProfileSettingGroup& group) {
    for (int i = 0; i < kProfileCount; ++i) {
      const std::u16string number = Decimal(i + 1);
      macroFolders[i] = folder + u"\\ZV3Profile" + number + u"_Macros";
      TPROFILESETTINGINFO& entry = group.ProfileSettingList[i];
      entry.SettingState = 0;
      entry.StorageType = 0;
      WriteFixedText(entry.ProfileFileName, u"ZV3Profile" + number + u".pfd", FixedTextEnd::MayFill);
      WriteFixedText(entry.ProfileKeyPath, kProfileKeyPath);
      WriteFixedText(entry.ProfileFilePath, folder);
      WriteFixedText(entry.ProfileMacroPath, macroFolders[i]);
    }
    group.CurrentProfileGroup = 0;
    group.ProfileIndexOfProfileGroup[0] = 0;
    group.ProfileIndexOfProfileGroup[1] = 1;
  });

  // The folders come after the record is whole, so that a folder which
  // cannot be made costs the folder and never half a record.
  if (services_.folders.DocumentsFolder().empty()) {
    throw PlatformError("the documents folder is unknown", kErrorPathNotFound);
  }
  const auto ensureFolder = [&](const std::u16string& path) {
    if (!services_.files.FolderExists(path) && !services_.files.CreateFolder(path)) {
      throw PlatformError("cannot create folder " + ToUtf8(path), kErrorPathNotFound);
    }
  };
  ensureFolder(folder);
  for (const std::u16string& macroFolder : macroFolders) {
    ensureFolder(macroFolder);
  }
}

void TDM::xaProfileTestRestoreToDefault(ProfileStream& AStream) {
  if (AStream.empty()) {
    return;
  }
  const double now = DateTimeOf(services_.clock.LocalNow());
  EditStreamAs<TMouseProfileInfo>(AStream, [&](TMouseProfileInfo& profile) {
    std::ranges::fill(RecordBytes(profile), std::uint8_t{0});
    profile.ProfileHeader.FProfileUID.SetDataTime(now);
    profile.ProfileHeader.FFileVersion = kRecordFormatVersion;
    profile.ConfigInfo.ButtonCount = 10;
    TBUTTONFUNCINFO* buttons = profile.ConfigInfo.ButtonFuncInfo;
    for (std::uint16_t i = 0; i < 5; ++i) {
      AssignFunction(buttons[i], i, i, 1);
      buttons[i].FunctionID = 0;
    }
    for (std::uint16_t i = 5; i < 10; ++i) {
      AssignFunction(buttons[i], i, 14, 11);
      buttons[i].DeviceCode = 19;
      buttons[i].FunctionID = 0;
      std::copy_n(kReportCodes[i].begin(), 3, buttons[i].ReportCode);
    }
    WriteFactoryGeneralSettings(profile.ConfigInfo);
  });
}

void TDM::RestoreToDefaultCPISetting() {
  WriteFactoryCpiLevels(FCurrentProfileInfo.ConfigInfo);
  WriteUseDifferentXY(FCurrentProfileInfo.ConfigInfo, 0);
}

void TDM::RestoreToDefaultLightAndReportAdvancedSetting() {
  FCurrentProfileInfo.ConfigInfo.ReportRate = 500;
  WriteFactoryLight(FCurrentProfileInfo.ConfigInfo.LEDConfig);
}

void TDM::InitTestDefaultValue() {
  const auto build = [](TxaProfile& store, std::u16string_view valueName, TMouseProfileInfo& record) {
    store.SetRootKey(RegistryRoot::CurrentUser);
    store.SetFileName(valueName);
    store.SetKeyPath(kProfileKeyPath);
    store.Write(RecordBytes(record));
    store.RestoreToDefault();
    store.Read(RecordBytes(record));
  };
  build(xaProfileTest, kTestProfileValueName, FTestProfileInfo);
  build(xaProfileDefaultGame, kDefaultProfileValueName, FDefaultProfileInfo);
}

std::u16string TDM::GetProfileFolder() {
  return WithTrailingBackslash(services_.folders.DocumentsFolder()) + std::u16string(kProfileFolderName);
}

}  // namespace monitor
