#include <gtest/gtest.h>

#include <functional>

#include "fakes/ProfileWorld.h"
#include "platform/PlatformError.h"
#include "profiles/CodeTables.h"
#include "profiles/FixedText.h"

namespace monitor {
namespace {

constexpr std::u16string_view kProfileFolder = u"C:\\Users\\Gamer\\Documents\\QUORVAX Gaming Mouse 3";

std::u16string ProfileValueName(int profile) {
  return u"ZV3Profile" + std::u16string(1, static_cast<char16_t>(u'1' + profile)) + u".pfd";
}

// A profile whose ButtonCount marks where it came from.
std::unique_ptr<TMouseProfileInfo> MarkedProfile(std::int32_t marker) {
  auto profile = std::make_unique<TMouseProfileInfo>();
  profile->ConfigInfo.ButtonCount = marker;
  return profile;
}

std::vector<std::uint8_t> ImageOf(const TMouseProfileInfo& profile) {
  const auto bytes = RecordBytes(profile);
  return {bytes.begin(), bytes.end()};
}

class ProfileManagerTest : public ::testing::Test {
 protected:
  // The group record a first start writes, for tests to change and plant.
  std::unique_ptr<TProfileSettingGroup> FactoryGroup() {
    ProfileWorld first;
    first.Start();
    return first.StoredRecord<TProfileSettingGroup>(kSettingGroupValueName);
  }

  ProfileWorld world_;
};

TEST_F(ProfileManagerTest, FirstStartSavesTheSettingRecordsButNotTheProfiles) {
  const auto dm = world_.Start();

  const auto group = world_.Stored(kSettingGroupValueName);
  const auto settings = world_.Stored(kAllSettingValueName);
  ASSERT_TRUE(group && settings);
  EXPECT_EQ(group->type, RegistryValueType::Binary);
  EXPECT_EQ(group->data.size(), sizeof(TProfileSettingGroup));
  EXPECT_EQ(settings->data.size(), sizeof(TALLGAMESINFO));
  for (int i = 0; i < kProfileCount; ++i) {
    EXPECT_FALSE(world_.Stored(ProfileValueName(i))) << i;
  }
  EXPECT_FALSE(world_.Stored(kRecordMacroValueName));

  EXPECT_TRUE(world_.files.FolderExists(kProfileFolder));
  for (const char16_t n : std::u16string_view(u"12345")) {
    EXPECT_TRUE(world_.files.FolderExists(std::u16string(kProfileFolder) + u"\\ZV3Profile" + n + u"_Macros"));
  }

  EXPECT_EQ(dm->FProfileGroupIndex, 0);
  EXPECT_EQ(dm->FProfileIndex, 0);
  EXPECT_EQ(dm->FCurrentProfileInfo.ProfileHeader.FFileVersion, 259);
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonCount, 7);
  EXPECT_EQ(dm->FHidUsageAndPage, (USAGE_AND_PAGE{0x0001, 0xFFA0}));
  EXPECT_EQ(dm->xaProfileGame3.Stream().size(), sizeof(TMouseProfileInfo));
  EXPECT_EQ(dm->xaProfileRecordMacroInfo.Stream().size(), sizeof(TMACROKEYINFO));
  EXPECT_TRUE(world_.debug.lines.empty());
}

TEST_F(ProfileManagerTest, StoredGroupChoosesTheCurrentProfile) {
  auto group = FactoryGroup();
  group->CurrentProfileGroup = 1;
  group->ProfileIndexOfProfileGroup[0] = 0;
  group->ProfileIndexOfProfileGroup[1] = 3;
  world_.StoreRecord(kSettingGroupValueName, *group);
  world_.StoreRecord(ProfileValueName(3), *MarkedProfile(43));

  const auto dm = world_.Start();
  EXPECT_EQ(dm->FProfileGroupIndex, 1);
  EXPECT_EQ(dm->FProfileIndex, 3);
  EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentGame, 3);
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonCount, 43);
}

TEST_F(ProfileManagerTest, FileKeptProfilesAreLoadedOrGivenTheirFactoryFile) {
  auto group = FactoryGroup();
  for (const int i : {1, 2, 3}) {
    group->ProfileSettingList[i].StorageType = 1;
  }
  world_.StoreRecord(kSettingGroupValueName, *group);
  const std::u16string folder = std::u16string(kProfileFolder) + u"\\";
  world_.files.AddFile(folder + ProfileValueName(2), ImageOf(*MarkedProfile(22)));
  world_.files.AddFile(folder + ProfileValueName(3), ImageOf(*MarkedProfile(33)));
  world_.files.MakeUnreadable(folder + ProfileValueName(3));

  const auto dm = world_.Start();
  TMouseProfileInfo profile{};

  // Missing file: the factory profile is written to it.
  const auto written = world_.files.Contents(folder + ProfileValueName(1));
  ASSERT_TRUE(written);
  ASSERT_EQ(written->size(), sizeof(TMouseProfileInfo));
  dm->ReadProfileInfo(profile, 1);
  EXPECT_EQ(*written, ImageOf(profile));
  EXPECT_EQ(profile.ProfileHeader.FFileVersion, 259);

  dm->ReadProfileInfo(profile, 2);
  EXPECT_EQ(profile.ConfigInfo.ButtonCount, 22);

  // A file that cannot be read is the user's still: factory values in
  // memory, the file left as it was.
  dm->ReadProfileInfo(profile, 3);
  EXPECT_EQ(profile.ConfigInfo.ButtonCount, 7);
  EXPECT_EQ(world_.files.Contents(folder + ProfileValueName(3)), ImageOf(*MarkedProfile(33)));
  EXPECT_EQ(world_.files.WriteCount(), 1);
  EXPECT_EQ(world_.debug.lines.size(), 1u);
}

TEST_F(ProfileManagerTest, BadStoredDataNeverStopsTheStart) {
  struct Case {
    const char* label;
    // Spoils a world whose registry holds a factory group record.
    std::function<void(ProfileWorld&, TProfileSettingGroup&)> spoil;
    std::function<void(ProfileWorld&, TDM&)> check;
  };
  const auto replaceGroup = [](ProfileWorld& w, const TProfileSettingGroup& g) {
    w.StoreRecord(kSettingGroupValueName, g);
  };
  // A group value of text type cannot be loaded, so the start restores it.
  const auto breakGroup = [](ProfileWorld& w) {
    w.Store(kSettingGroupValueName, {RegistryValueType::String, {0, 0}});
  };
  const auto profileIs = [](std::int32_t index) {
    return [index](ProfileWorld&, TDM& dm) { EXPECT_EQ(dm.FProfileIndex, index); };
  };
  const auto groupRestoredWithoutFolder = [](ProfileWorld& w, TDM& dm) {
    EXPECT_EQ(w.Stored(kSettingGroupValueName)->data.size(), sizeof(TProfileSettingGroup));
    const std::u16string folder =
        ReadFixedText(dm.FProfileSettingGroup.ProfileSettingList[0].ProfileFilePath);
    EXPECT_TRUE(folder.ends_with(u"\\QUORVAX Gaming Mouse 3"));
    EXPECT_FALSE(w.files.FolderExists(folder));
  };
  const Case cases[] = {
      {"group record of text type", [&](ProfileWorld& w, TProfileSettingGroup&) { breakGroup(w); },
       [](ProfileWorld& w, TDM& dm) {
         EXPECT_EQ(w.Stored(kSettingGroupValueName)->data.size(), sizeof(TProfileSettingGroup));
         EXPECT_EQ(ReadFixedText(dm.FProfileSettingGroup.ProfileSettingList[0].ProfileFileName),
                   u"ZV3Profile1.pfd");
       }},
      {"current group out of range",
       [&](ProfileWorld& w, TProfileSettingGroup& g) {
         g.CurrentProfileGroup = 7;
         g.ProfileIndexOfProfileGroup[0] = 2;
         replaceGroup(w, g);
       },
       profileIs(2)},
      {"group profiles out of range",
       [&](ProfileWorld& w, TProfileSettingGroup& g) {
         g.CurrentProfileGroup = 1;
         g.ProfileIndexOfProfileGroup[0] = 9;
         g.ProfileIndexOfProfileGroup[1] = -1;
         replaceGroup(w, g);
       },
       [](ProfileWorld&, TDM& dm) {
         EXPECT_EQ(dm.FProfileIndex, 1);
         EXPECT_EQ(dm.FProfileSettingGroup.ProfileIndexOfProfileGroup[0], 0);
       }},
      {"short group record with a stray index",
       [](ProfileWorld& w, TProfileSettingGroup&) {
         w.Store(kSettingGroupValueName, {RegistryValueType::Binary, {0, 0, 0, 0, 9, 9}});
       },
       profileIs(0)},
      {"profile value of number type",
       [](ProfileWorld& w, TProfileSettingGroup&) { w.Store(ProfileValueName(0), DwordValue(1)); },
       [](ProfileWorld&, TDM& dm) { EXPECT_EQ(dm.FCurrentProfileInfo.ConfigInfo.ButtonCount, 7); }},
      {"unknown storage type",
       [&](ProfileWorld& w, TProfileSettingGroup& g) {
         g.ProfileSettingList[0].StorageType = 7;
         replaceGroup(w, g);
       },
       [](ProfileWorld&, TDM& dm) { EXPECT_EQ(dm.FCurrentProfileInfo.ConfigInfo.ButtonCount, 0); }},
      {"registry refuses writes",
       [&](ProfileWorld& w, TProfileSettingGroup&) {
         breakGroup(w);
         w.registry.FailWrites(true);
       },
       profileIs(0)},
      {"documents folder missing",
       [&](ProfileWorld& w, TProfileSettingGroup&) {
         breakGroup(w);
         w.folders.documents = u"C:\\Users\\Nobody\\Documents";
       },
       groupRestoredWithoutFolder},
      {"documents folder unknown",
       [&](ProfileWorld& w, TProfileSettingGroup&) {
         breakGroup(w);
         w.folders.documents.clear();
       },
       groupRestoredWithoutFolder},
      {"unreadable configuration file",
       [](ProfileWorld& w, TProfileSettingGroup&) {
         const std::string ini = "[OtherConfig]\nNoLogo=1\n";
         w.files.AddFile(w.folders.executable + u"config.ini", {ini.begin(), ini.end()});
         w.files.MakeUnreadable(w.folders.executable + u"config.ini");
       },
       [](ProfileWorld&, TDM& dm) {
         EXPECT_EQ(dm.FOtherConfig.Nologo, 0);
         EXPECT_FALSE(dm.FInstallationConfig.Value(u"OtherConfig", u"NoLogo"));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ProfileWorld world;
    auto group = FactoryGroup();
    world.StoreRecord(kSettingGroupValueName, *group);
    c.spoil(world, *group);
    std::unique_ptr<TDM> dm;
    ASSERT_NO_THROW(dm = world.Start());
    c.check(world, *dm);
    EXPECT_FALSE(world.debug.lines.empty());
  }
}

TEST_F(ProfileManagerTest, SwitchingOutOfRangeChangesNothing) {
  world_.StoreRecord(ProfileValueName(1), *MarkedProfile(11));
  const auto dm = world_.Start();
  for (const std::int32_t bad : {-1, 5, 6}) {
    EXPECT_FALSE(dm->SwitchToProfile(bad));
  }
  for (const std::int32_t bad : {-1, 2}) {
    EXPECT_FALSE(dm->SwitchToProfileGroup(bad));
  }
  EXPECT_EQ(dm->FProfileIndex, 0);
  EXPECT_EQ(dm->FProfileGroupIndex, 0);
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonCount, 7);

  const auto storedBefore = world_.Stored(kSettingGroupValueName);
  ASSERT_TRUE(dm->SwitchToProfileGroup(1));
  EXPECT_EQ(dm->FProfileIndex, 1);
  EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentGame, 1);
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonCount, 11);
  EXPECT_EQ(world_.Stored(kSettingGroupValueName), storedBefore);  // nothing saved
}

TEST_F(ProfileManagerTest, SavingWritesTheStoreNotUnsavedEdits) {
  const auto dm = world_.Start();
  dm->FCurrentProfileInfo.ConfigInfo.ButtonCount = 99;
  ASSERT_TRUE(dm->SaveCurrentProfileInfoToFile(u"C:\\Export\\Mine.pfd"));
  EXPECT_EQ(world_.files.Contents(u"C:\\Export\\Mine.pfd")->at(872 + 82064), 7);

  ASSERT_TRUE(dm->SaveCurrentProfileInfoToRegistry());
  const auto stored = world_.StoredRecord<TMouseProfileInfo>(ProfileValueName(0));
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->ConfigInfo.ButtonCount, 99);
}

TEST_F(ProfileManagerTest, RestoringAGroupRefreshesTheWorkingCopyOnlyForTheCurrentProfile) {
  world_.StoreRecord(ProfileValueName(0), *MarkedProfile(10));
  world_.StoreRecord(ProfileValueName(1), *MarkedProfile(11));
  const auto dm = world_.Start();
  ASSERT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonCount, 10);

  ASSERT_TRUE(dm->RestoreProfileGroupToDefault(1));
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonCount, 10);
  TMouseProfileInfo profile{};
  dm->ReadProfileInfo(profile, 1);
  EXPECT_EQ(profile.ConfigInfo.ButtonCount, 7);

  ASSERT_TRUE(dm->RestoreProfileGroupToDefault(0));
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonCount, 7);
  EXPECT_FALSE(dm->RestoreProfileGroupToDefault(2));
  EXPECT_EQ(world_.StoredRecord<TMouseProfileInfo>(ProfileValueName(0))->ConfigInfo.ButtonCount, 10);
}

TEST_F(ProfileManagerTest, ReloadsTakeWhatTheConfigurationProgramStored) {
  const auto dm = world_.Start();
  auto settings = world_.StoredRecord<TALLGAMESINFO>(kAllSettingValueName);
  settings->CurrentLanguage = 1;
  world_.StoreRecord(kAllSettingValueName, *settings);
  world_.StoreRecord(ProfileValueName(0), *MarkedProfile(70));
  auto group = world_.StoredRecord<TProfileSettingGroup>(kSettingGroupValueName);
  group->ProfileIndexOfProfileGroup[0] = 4;
  world_.StoreRecord(kSettingGroupValueName, *group);

  dm->LoadAllProfileInfoFromRegistry();
  EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentLanguage, 1);
  EXPECT_TRUE(dm->LoadCurrentProfileInfoFromRegistry());
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonCount, 70);
  dm->LoadProfileGroupSettingInfoFromRegistry();
  EXPECT_EQ(dm->FProfileIndex, 4);

  // A reload meeting a broken value carries on with what it had.
  world_.Store(ProfileValueName(4), {RegistryValueType::String, {0, 0}});
  EXPECT_FALSE(dm->LoadCurrentProfileInfoFromRegistry());
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonCount, 7);
  EXPECT_EQ(world_.debug.lines.size(), 1u);
}

TEST_F(ProfileManagerTest, TheLastRecordingIsStoredApart) {
  const auto dm = world_.Start();
  TMACROKEYINFO recording{};
  recording.MacroListCount = 2;
  ASSERT_TRUE(dm->SaveBackRecordMacroInfoToRegistry(recording));
  EXPECT_EQ(world_.Stored(kRecordMacroValueName)->data.size(), sizeof(TMACROKEYINFO));
  EXPECT_EQ(dm->FRecordMacroInfo.MacroListCount, 0);
  dm->LoadRecordMacroInfoFromRegistry();
  EXPECT_EQ(dm->FRecordMacroInfo.MacroListCount, 2);
}

TEST_F(ProfileManagerTest, ConfigurationFileSettingsAreKept) {
  const std::string ini = "[OtherConfig]\nNoLogo=1\n[HelpFiles]\nManual=m.pdf\n[VirtualMouse]\nEnabled=1\n";
  world_.files.AddFile(world_.folders.executable + u"config.ini", {ini.begin(), ini.end()});
  const auto dm = world_.Start();
  EXPECT_EQ(dm->FOtherConfig.Nologo, 1);
  EXPECT_EQ(dm->FHelpFiles, (std::vector<HelpFileEntry>{{u"Manual", u"m.pdf"}}));
  // The whole file stays at hand for the settings other parts read from it.
  EXPECT_EQ(dm->FInstallationConfig.Value(u"VirtualMouse", u"Enabled"), u"1");
}

TEST_F(ProfileManagerTest, ProfileFileNameAndPathAreCutToTheirFields) {
  const auto dm = world_.Start();
  world_.files.AddFolder(u"C:\\Profiles");
  EXPECT_TRUE(dm->ChangeCurrentProfileFileNameAndPath(u"C:\\Profiles\\Mine.pfd"));
  EXPECT_EQ(dm->xaProfileGame1.FilePath(), u"C:\\Profiles\\");
  EXPECT_EQ(dm->xaProfileGame1.FileName(), u"Mine.pfd");
  EXPECT_EQ(ReadFixedText(dm->FProfileSettingGroup.ProfileSettingList[0].ProfileFilePath), u"C:\\Profiles\\");

  EXPECT_FALSE(dm->ChangeCurrentProfileFileNameAndPath(u"C:\\Profiles\\A name much too long.pfd"));
  const std::u16string cut = u"A name much too long.";
  EXPECT_EQ(ReadFixedText(dm->FProfileSettingGroup.ProfileSettingList[0].ProfileFileName), cut);
  EXPECT_EQ(dm->xaProfileGame1.FileName(), cut);
}

}  // namespace
}  // namespace monitor
