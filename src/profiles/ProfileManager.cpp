#include "profiles/ProfileManager.h"

#include <exception>
#include <string>

#include "platform/Utf8.h"
#include "profiles/FixedText.h"
#include "profiles/PathText.h"
#include "profiles/RecordImage.h"

namespace monitor {
namespace {

std::u16string MessageOf(const std::exception& error) {
  return FromUtf8(error.what()).value_or(u"(unreadable message)");
}

}  // namespace

TDM::TDM(ProfileServices services)
    : xaProfileAllSettingInfo(services.registry, services.files),
      xaProfileGame1(services.registry, services.files),
      xaProfileGame2(services.registry, services.files),
      xaProfileGame3(services.registry, services.files),
      xaProfileGame4(services.registry, services.files),
      xaProfileGame5(services.registry, services.files),
      xaProfileSettingGroup(services.registry, services.files),
      xaProfileDefaultGame(services.registry, services.files),
      xaProfileTest(services.registry, services.files),
      xaProfileRecordMacroInfo(services.registry, services.files),
      FProfileGroup{&xaProfileGame1, &xaProfileGame2, &xaProfileGame3,
                    &xaProfileGame4, &xaProfileGame5, nullptr},
      services_(std::move(services)) {
  const auto profileDefault = [this](ProfileStream& stream) { xaProfileGame1RestoreToDefault(stream); };
  for (std::size_t i = 0; i < kProfileCount; ++i) {
    FProfileGroup[i]->OnRestoreToDefault = profileDefault;
  }
  xaProfileDefaultGame.OnRestoreToDefault = profileDefault;
  xaProfileAllSettingInfo.OnRestoreToDefault = [this](ProfileStream& stream) {
    xaProfileAllSettingInfoRestoreToDefault(stream);
  };
  xaProfileSettingGroup.OnRestoreToDefault = [this](ProfileStream& stream) {
    xaProfileSettingGroupRestoreToDefault(stream);
  };
  xaProfileTest.OnRestoreToDefault = [this](ProfileStream& stream) { xaProfileTestRestoreToDefault(stream); };
  DataModuleCreate();
}

void TDM::DataModuleCreate() {
  FProfileGroupIndex = 0;

  StageStore(xaProfileSettingGroup, kSettingGroupValueName, sizeof(TProfileSettingGroup));
  LoadOrRestore(xaProfileSettingGroup, true);
  xaProfileSettingGroup.Read(RecordBytes(FProfileSettingGroup));
  AdoptProfileGroupIndexes();

  StageStore(xaProfileAllSettingInfo, kAllSettingValueName, sizeof(TALLGAMESINFO));
  LoadOrRestore(xaProfileAllSettingInfo, true);
  xaProfileAllSettingInfo.Read(RecordBytes(FAllProfileSettingInfo));

  // The last recording is kept for writing only; it is not loaded at start.
  StageStore(xaProfileRecordMacroInfo, kRecordMacroValueName, sizeof(TMACROKEYINFO));

  for (std::int32_t i = 0; i < kProfileCount; ++i) {
    LoadStoredProfile(i);
  }
  SwitchToProfileGroup(FProfileGroupIndex);
  FHidUsageAndPage = kMouseVendorCollection;

  Survive(u"read " + std::u16string(kConfigFileName), [&] {
    FInstallationConfig = ReadConfigFile(services_.files, services_.folders.ExecutableFolder());
  });
  OtherSettings settings = ReadOtherConfig(FInstallationConfig);
  FOtherConfig = settings.config;
  FHelpFiles = std::move(settings.helpFiles);
}

void TDM::StageStore(TxaProfile& store, std::u16string_view valueName, std::size_t recordSize) {
  store.SetRootKey(RegistryRoot::CurrentUser);
  store.SetFileName(valueName);
  store.SetKeyPath(kProfileKeyPath);
  store.Write(std::vector<std::uint8_t>(recordSize));
}

void TDM::LoadStoredProfile(std::int32_t profileIndex) {
  const TPROFILESETTINGINFO& entry = FProfileSettingGroup.ProfileSettingList[profileIndex];
  TxaProfile& store = *FProfileGroup[static_cast<std::size_t>(profileIndex)];
  const std::u16string fileName = ReadFixedText(entry.ProfileFileName);
  const std::u16string filePath = ReadFixedText(entry.ProfileFilePath);
  store.SetRootKey(RegistryRoot::CurrentUser);
  store.SetFileName(fileName);
  store.SetFilePath(filePath);
  store.SetKeyPath(kProfileKeyPath);
  store.Write(std::vector<std::uint8_t>(sizeof(TMouseProfileInfo)));

  switch (entry.StorageType) {
    case 0:
      // A factory profile is not saved: the registry keeps only what the user made.
      LoadOrRestore(store, false);
      break;
    case 1: {
      const std::u16string file = WithTrailingBackslash(filePath) + fileName;
      if (!services_.files.FileExists(file)) {
        store.RestoreToDefault();
        Survive(u"write " + file, [&] { store.SaveStreamToFile(file); });
        break;
      }
      bool loaded = false;
      const bool readable = Survive(u"read " + file, [&] { loaded = store.LoadStreamFromFile(file); });
      if (!loaded) {
        store.RestoreToDefault();
        // A file that exists but cannot be read is still the user's profile:
        // it is never overwritten with factory values.
        if (readable) {
          Survive(u"write " + file, [&] { store.SaveStreamToFile(); });
        }
      }
      break;
    }
    default:
      services_.debug.Write(u"TDM: unknown storage type of " + fileName + u", the profile stays empty");
      break;
  }
}

bool TDM::LoadOrRestore(TxaProfile& store, bool saveRestored) {
  bool loaded = false;
  Survive(u"load " + store.FileName(), [&] { loaded = store.LoadStreamFromRegistry(); });
  if (loaded) {
    return true;
  }
  Survive(u"restore " + store.FileName(), [&] { store.RestoreToDefault(); });
  if (saveRestored) {
    Survive(u"save " + store.FileName(), [&] { store.SaveStreamToRegistry(); });
  }
  return false;
}

bool TDM::Survive(std::u16string_view what, const std::function<void()>& operation) {
  try {
    operation();
    return true;
  } catch (const std::exception& error) {
    services_.debug.Write(u"TDM: cannot " + std::u16string(what) + u": " + MessageOf(error));
    return false;
  }
}

// Stored indexes are data, not trusted: one out of range is replaced by its
// factory value before it is ever used to pick a profile.
void TDM::AdoptProfileGroupIndexes() {
  TProfileSettingGroup& group = FProfileSettingGroup;
  if (!IsProfileGroupIndexInRange(group.CurrentProfileGroup)) {
    services_.debug.Write(u"TDM: stored profile group out of range, using group 0");
    group.CurrentProfileGroup = 0;
  }
  for (std::int32_t g = 0; g < kProfileGroupCount; ++g) {
    std::int32_t& profile = group.ProfileIndexOfProfileGroup[g];
    if (!IsProfileIndexInRange(profile)) {
      services_.debug.Write(u"TDM: stored profile of a group out of range, using its factory profile");
      profile = g;
    }
  }
  FProfileGroupIndex = group.CurrentProfileGroup;
  FProfileIndex = group.ProfileIndexOfProfileGroup[FProfileGroupIndex];
}

bool TDM::IsProfileGroupIndexInRange(std::int32_t AProfileGroupIndex) {
  return AProfileGroupIndex >= 0 && AProfileGroupIndex < kProfileGroupCount;
}

bool TDM::IsProfileIndexInRange(std::int32_t AProfileIndex) {
  return AProfileIndex >= 0 && AProfileIndex < kProfileCount;
}

bool TDM::SwitchToProfileGroup(std::int32_t AProfileGroupIndex) {
  if (!IsProfileGroupIndexInRange(AProfileGroupIndex)) {
    return false;
  }
  FProfileSettingGroup.CurrentProfileGroup = AProfileGroupIndex;
  FProfileGroupIndex = AProfileGroupIndex;
  return SwitchToProfile(FProfileSettingGroup.ProfileIndexOfProfileGroup[AProfileGroupIndex]);
}

bool TDM::SwitchToProfile(std::int32_t AProfileIndex) {
  if (!IsProfileIndexInRange(AProfileIndex)) {
    return false;
  }
  FProfileIndex = AProfileIndex;
  ReadCurrentProfileInfo();
  FAllProfileSettingInfo.CurrentGame = static_cast<std::uint16_t>(AProfileIndex);
  return true;
}

bool TDM::ReadCurrentProfileInfo() {
  CurrentStore().Read(RecordBytes(FCurrentProfileInfo));
  return true;
}

bool TDM::ReadProfileInfo(TMouseProfileInfo& AProfileInfo, std::int32_t AProfileIndex) {
  if (!IsProfileIndexInRange(AProfileIndex)) {
    return false;
  }
  FProfileGroup[static_cast<std::size_t>(AProfileIndex)]->Read(RecordBytes(AProfileInfo));
  return true;
}

bool TDM::LoadCurrentProfileInfoFromRegistry() {
  bool loaded = false;
  Survive(u"load " + CurrentStore().FileName(), [&] { loaded = CurrentStore().LoadStreamFromRegistry(); });
  ReadCurrentProfileInfo();
  return loaded;
}

bool TDM::LoadCurrentProfileInfoFromFile(std::u16string_view AFile) {
  const bool loaded = CurrentStore().LoadStreamFromFile(AFile);
  ReadCurrentProfileInfo();
  return loaded;
}

bool TDM::LoadProfileInfoFromRegistry(std::int32_t AProfileIndex) {
  if (!IsProfileIndexInRange(AProfileIndex)) {
    return false;
  }
  TxaProfile& store = *FProfileGroup[static_cast<std::size_t>(AProfileIndex)];
  bool loaded = false;
  Survive(u"load " + store.FileName(), [&] { loaded = store.LoadStreamFromRegistry(); });
  return loaded;
}

void TDM::LoadProfileGroupSettingInfoFromRegistry() {
  LoadOrRestore(xaProfileSettingGroup, true);
  xaProfileSettingGroup.Read(RecordBytes(FProfileSettingGroup));
  AdoptProfileGroupIndexes();
}

void TDM::LoadAllProfileInfoFromRegistry() {
  LoadOrRestore(xaProfileAllSettingInfo, true);
  xaProfileAllSettingInfo.Read(RecordBytes(FAllProfileSettingInfo));
}

void TDM::LoadRecordMacroInfoFromRegistry() {
  Survive(u"load " + xaProfileRecordMacroInfo.FileName(),
          [&] { xaProfileRecordMacroInfo.LoadStreamFromRegistry(); });
  xaProfileRecordMacroInfo.Read(RecordBytes(FRecordMacroInfo));
}

void TDM::SaveBackToCurrentProfileInfo() { CurrentStore().Write(RecordBytes(FCurrentProfileInfo)); }

bool TDM::SaveCurrentProfileInfoToRegistry() {
  SaveBackToCurrentProfileInfo();
  return CurrentStore().SaveStreamToRegistry();
}

bool TDM::SaveBackToProfileInfo(const TMouseProfileInfo& AProfileInfo, std::int32_t AProfileIndex) {
  if (!IsProfileIndexInRange(AProfileIndex)) {
    return false;
  }
  FProfileGroup[static_cast<std::size_t>(AProfileIndex)]->Write(RecordBytes(AProfileInfo));
  return true;
}

bool TDM::SaveProfileInfoToRegistry(std::int32_t AProfileIndex) {
  return IsProfileIndexInRange(AProfileIndex) &&
         FProfileGroup[static_cast<std::size_t>(AProfileIndex)]->SaveStreamToRegistry();
}

bool TDM::SaveCurrentProfileInfoToFile(std::u16string_view AFile) {
  return CurrentStore().SaveStreamToFile(AFile);
}

bool TDM::SaveCurrentProfileInfoToFile() { return CurrentStore().SaveStreamToFile(); }

void TDM::SaveBackAllProfileInfo() {
  for (std::size_t i = 0; i < kProfileCount; ++i) {
    FProfileGroup[i]->SaveStreamToRegistry();
  }
}

void TDM::SaveBackAllProfileInfoToRegistry() { SaveBackAllProfileInfo(); }

void TDM::SaveBackAllProfileInfoToFile() {
  for (std::size_t i = 0; i < kProfileCount; ++i) {
    FProfileGroup[i]->SaveStreamToFile();
  }
}

bool TDM::SaveBackAllProfileSettingInfo() {
  FAllProfileSettingInfo.CurrentGame = static_cast<std::uint16_t>(FProfileIndex);
  xaProfileAllSettingInfo.Write(RecordBytes(FAllProfileSettingInfo));
  return xaProfileAllSettingInfo.SaveStreamToRegistry();
}

void TDM::SaveBackToProfileGroupSettingInfo() {
  xaProfileSettingGroup.Write(RecordBytes(FProfileSettingGroup));
}

bool TDM::SaveProfileGroupSettingInfoToRegistry() {
  SaveBackToProfileGroupSettingInfo();
  return xaProfileSettingGroup.SaveStreamToRegistry();
}

bool TDM::SaveBackRecordMacroInfoToRegistry(const TMACROKEYINFO& ARecordMacroInfo) {
  xaProfileRecordMacroInfo.Write(RecordBytes(ARecordMacroInfo));
  return xaProfileRecordMacroInfo.SaveStreamToRegistry();
}

void TDM::RestoreCurrentProfileInfoToDefault() {
  CurrentStore().RestoreToDefault();
  ReadCurrentProfileInfo();
}

bool TDM::RestoreProfileInfoToDefault(std::int32_t AProfileIndex) {
  if (!IsProfileIndexInRange(AProfileIndex)) {
    return false;
  }
  FProfileGroup[static_cast<std::size_t>(AProfileIndex)]->RestoreToDefault();
  return true;
}

bool TDM::RestoreProfileGroupToDefault(std::int32_t AProfileGroupIndex) {
  if (!IsProfileGroupIndexInRange(AProfileGroupIndex)) {
    return false;
  }
  const std::int32_t profile = FProfileSettingGroup.ProfileIndexOfProfileGroup[AProfileGroupIndex];
  if (profile == FProfileIndex) {
    RestoreCurrentProfileInfoToDefault();
    return true;
  }
  return RestoreProfileInfoToDefault(profile);
}

bool TDM::RestoreProfileSettingGroupToDefault() {
  xaProfileSettingGroup.RestoreToDefault();
  return xaProfileSettingGroup.SaveStreamToRegistry();
}

bool TDM::ChangeCurrentProfileFileNameAndPath(std::u16string_view AProfileFilePath) {
  // Names too long for the group record are cut, and the store takes the
  // cut names too, so that memory and record never disagree.
  TPROFILESETTINGINFO& entry = FProfileSettingGroup.ProfileSettingList[FProfileIndex];
  const bool nameFits =
      WriteFixedText(entry.ProfileFileName, NameOfPath(AProfileFilePath), FixedTextEnd::MayFill);
  const bool folderFits = WriteFixedText(entry.ProfileFilePath, FolderOfPath(AProfileFilePath));
  CurrentStore().SetFileName(ReadFixedText(entry.ProfileFileName));
  CurrentStore().SetFilePath(ReadFixedText(entry.ProfileFilePath));
  return nameFits && folderFits;
}

}  // namespace monitor
