// TDM: owns all profile state of the process. Its one instance, DM, is made
// before the main window and lives until the process ends; every other part
// reads the current profile from it and asks it to load, save, switch or
// restore records.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/UsageAndPage.h"
#include "i18n/TranslateText.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/Locale.h"
#include "platform/Registry.h"
#include "profiles/BlobStore.h"
#include "profiles/ConfigFile.h"
#include "profiles/ProfileRecords.h"

namespace monitor {

// Where everything lives: HKEY_CURRENT_USER\software\QuorvaxGM3, and
// profile files below the user's documents folder.
inline constexpr std::u16string_view kProfileKeyPath = u"software\\QuorvaxGM3";
inline constexpr std::u16string_view kProfileFolderName = u"QUORVAX Gaming Mouse 3";
inline constexpr std::u16string_view kSettingGroupValueName = u"ZV3ProfileSettingGroup.pfd";
inline constexpr std::u16string_view kAllSettingValueName = u"ZV3PROFILE.pfd";
inline constexpr std::u16string_view kRecordMacroValueName = u"RecordRPROFILE.pfd";
inline constexpr std::u16string_view kDefaultProfileValueName = u"K5500ProfileDef.pfd";
inline constexpr std::u16string_view kTestProfileValueName = u"K5500ProfileTest.pfd";

struct ProfileServices {
  Registry& registry;
  FileSystem& files;
  KnownFolders& folders;
  Locale& locale;
  Clock& clock;
  DebugOutput& debug;
  TranslateText translate;
};

class TDM {
 public:
  // Runs the start-up (DataModuleCreate). Stored data never makes it fail:
  // what cannot be loaded is replaced by factory values and reported on the
  // debug output.
  explicit TDM(ProfileServices services);
  TDM(const TDM&) = delete;
  TDM& operator=(const TDM&) = delete;

  // ---- Stores, one per stored record ----
  TxaProfile xaProfileAllSettingInfo;
  TxaProfile xaProfileGame1;
  TxaProfile xaProfileGame2;
  TxaProfile xaProfileGame3;
  TxaProfile xaProfileGame4;
  TxaProfile xaProfileGame5;
  TxaProfile xaProfileSettingGroup;
  TxaProfile xaProfileDefaultGame;
  TxaProfile xaProfileTest;
  TxaProfile xaProfileRecordMacroInfo;

  // ---- State ----
  TALLGAMESINFO FAllProfileSettingInfo{};
  std::array<TxaProfile*, kProfileCount + 1> FProfileGroup{};  // the five profile stores; entry 5 empty
  TProfileSettingGroup FProfileSettingGroup{};
  std::int32_t FProfileGroupIndex = 0;
  std::int32_t FProfileIndex = 0;
  TMouseProfileInfo FCurrentProfileInfo{};
  TOtherConfig FOtherConfig{};
  std::vector<HelpFileEntry> FHelpFiles;  // the "HelpFiles" list of the configuration file
  // The whole configuration file as read at start-up, for the settings the
  // other parts take from it; empty when it could not be read.
  IniFile FInstallationConfig;
  TMouseProfileInfo FDefaultProfileInfo{};
  TMouseProfileInfo FTestProfileInfo{};
  TMACROKEYINFO FRecordMacroInfo{};
  USAGE_AND_PAGE FHidUsageAndPage{};  // the collection the mouse is opened by

  // ---- Operations ----
  static bool IsProfileGroupIndexInRange(std::int32_t AProfileGroupIndex);
  static bool IsProfileIndexInRange(std::int32_t AProfileIndex);
  bool SwitchToProfileGroup(std::int32_t AProfileGroupIndex);
  bool SwitchToProfile(std::int32_t AProfileIndex);
  bool ReadCurrentProfileInfo();
  bool ReadProfileInfo(TMouseProfileInfo& AProfileInfo, std::int32_t AProfileIndex);

  // The reloads below survive bad stored data as the start-up does.
  bool LoadCurrentProfileInfoFromRegistry();
  bool LoadCurrentProfileInfoFromFile(std::u16string_view AFile);
  bool LoadProfileInfoFromRegistry(std::int32_t AProfileIndex);
  void LoadProfileGroupSettingInfoFromRegistry();
  void LoadAllProfileInfoFromRegistry();
  void LoadRecordMacroInfoFromRegistry();

  void SaveBackToCurrentProfileInfo();
  bool SaveCurrentProfileInfoToRegistry();
  bool SaveBackToProfileInfo(const TMouseProfileInfo& AProfileInfo, std::int32_t AProfileIndex);
  bool SaveProfileInfoToRegistry(std::int32_t AProfileIndex);
  bool SaveCurrentProfileInfoToFile(std::u16string_view AFile);
  bool SaveCurrentProfileInfoToFile();
  void SaveBackAllProfileInfo();
  void SaveBackAllProfileInfoToRegistry();
  void SaveBackAllProfileInfoToFile();
  bool SaveBackAllProfileSettingInfo();
  void SaveBackToProfileGroupSettingInfo();
  bool SaveProfileGroupSettingInfoToRegistry();
  bool SaveBackRecordMacroInfoToRegistry(const TMACROKEYINFO& ARecordMacroInfo);

  void RestoreCurrentProfileInfoToDefault();
  bool RestoreProfileInfoToDefault(std::int32_t AProfileIndex);
  bool RestoreProfileGroupToDefault(std::int32_t AProfileGroupIndex);
  bool RestoreProfileSettingGroupToDefault();
  bool ChangeCurrentProfileFileNameAndPath(std::u16string_view AProfileFilePath);

  // ---- Factory values ----
  void RestoreToDefaultCPISetting();
  void RestoreToDefaultLightAndReportAdvancedSetting();
  void InitTestDefaultValue();

  void DataModuleCreate();
  void DataModuleDestroy() {}  // nothing is saved at shutdown

 private:
  // Restore handlers of the stores.
  void xaProfileGame1RestoreToDefault(ProfileStream& AStream);
  void xaProfileAllSettingInfoRestoreToDefault(ProfileStream& AStream);
  void xaProfileSettingGroupRestoreToDefault(ProfileStream& AStream);
  void xaProfileTestRestoreToDefault(ProfileStream& AStream);
  std::u16string GetProfileFolder();

  void StageStore(TxaProfile& store, std::u16string_view valueName, std::size_t recordSize);
  void LoadStoredProfile(std::int32_t profileIndex);
  // Loads from the registry; on failure restores the factory record and,
  // when asked, saves it. Platform errors are reported, never raised.
  bool LoadOrRestore(TxaProfile& store, bool saveRestored);
  void AdoptProfileGroupIndexes();
  TxaProfile& CurrentStore() { return *FProfileGroup[static_cast<std::size_t>(FProfileIndex)]; }
  // Runs an operation whose platform errors are reported, not raised; false
  // when it failed.
  bool Survive(std::u16string_view what, const std::function<void()>& operation);

  ProfileServices services_;
};

}  // namespace monitor
