#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/ProfileWorld.h"
#include "profiles/CodeTables.h"
#include "profiles/DateTime.h"
#include "profiles/FixedText.h"

namespace monitor {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<TMouseProfileInfo> ReadStore(const TxaProfile& store) {
  auto profile = std::make_unique<TMouseProfileInfo>();
  store.Read(RecordBytes(*profile));
  return profile;
}

bool AllZero(std::span<const std::uint8_t> bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

class FactoryDefaultsTest : public ::testing::Test {
 protected:
  void SetUp() override { dm_ = world_.Start(); }

  ProfileWorld world_;
  std::unique_ptr<TDM> dm_;
};

TEST_F(FactoryDefaultsTest, FactoryProfileHoldsTheFactoryButtonsMacroAndSettings) {
  const auto profile = ReadStore(dm_->xaProfileGame2);  // freshly staged, then restored
  const TMOUSECONFIGINFO& config = profile->ConfigInfo;
  EXPECT_EQ(profile->ProfileHeader.FFileVersion, 259);
  EXPECT_EQ(profile->ProfileHeader.FProfileUID.DataTime(), DateTimeOf(world_.clock.now));
  EXPECT_EQ(config.ButtonCount, 7);

  struct Button {
    std::uint16_t functionIndex;
    std::uint8_t kind;
    std::uint32_t deviceCode;
    std::uint32_t functionID;
  };
  const Button expected[] = {{0, 1, 1, 1},  {1, 1, 2, 2},    {2, 1, 3, 3},     {5, 8, 16, 6}, {5, 8, 16, 6},
                             {5, 8, 16, 6}, {31, 4, 17, 13}, {32, 11, 19, 14}, {30, 0, 8, 12}};
  for (std::uint16_t b = 0; b < std::size(expected); ++b) {
    SCOPED_TRACE(b);
    const TBUTTONFUNCINFO& button = config.ButtonFuncInfo[b];
    EXPECT_EQ(button.ButtonIndex, b);
    EXPECT_EQ(button.FunctionIndex, expected[b].functionIndex);
    EXPECT_EQ(button.FunctionKind, expected[b].kind);
    EXPECT_EQ(button.DeviceCode, expected[b].deviceCode);
    EXPECT_EQ(button.FunctionID, expected[b].functionID);
  }
  EXPECT_EQ(config.ButtonFuncInfo[3].SingleKeyValue, 162);  // left Ctrl
  EXPECT_EQ(config.ButtonFuncInfo[4].SingleKeyValue, 160);  // left Shift
  EXPECT_EQ(config.ButtonFuncInfo[5].SingleKeyValue, 164);  // left Alt
  EXPECT_EQ(Bytes(config.ButtonFuncInfo[7].ReportCode, config.ButtonFuncInfo[7].ReportCode + 3),
            (Bytes{0x80, 0x00, 0x00}));
  for (int b = 9; b < kButtonCapacity; ++b) {
    EXPECT_TRUE(AllZero(RecordBytes(config.ButtonFuncInfo[b]))) << b;
  }

  // The library holds the double click alone, and button 6 carries a copy.
  const TMACROKEYINFOLIST& library = profile->MacroKeyInfoList;
  ASSERT_EQ(library.nMacroInfoCount, 1);
  const TMACROKEYINFO& macro = library.MacroInfos[0];
  EXPECT_EQ(ReadFixedText(macro.szMacroName), u"User Recorded");
  EXPECT_EQ(macro.MacroListCount, 7);
  EXPECT_EQ(macro.nAutoAddDelay, 1);
  EXPECT_EQ(macro.nLoopCount, 0);
  EXPECT_EQ(macro.nMacroIndex, 0);
  const Bytes actions(RecordBytes(macro).begin(), RecordBytes(macro).begin() + 7 * 6);
  EXPECT_EQ(actions, (Bytes{1, 0,  1, 0, 1, 1, 6, 0, 0, 0, 6, 0, 1, 0, 0, 0, 1, 1, 6, 0, 0,
                            0, 15, 0, 1, 0, 1, 0, 1, 1, 6, 0, 0, 0, 6, 0, 1, 0, 0, 0, 1, 1}));
  const auto buttonMacro = RecordBytes(config.ButtonFuncInfo[6].MacroKeyInfo);
  const auto libraryMacro = RecordBytes(macro);
  EXPECT_TRUE(std::equal(buttonMacro.begin(), buttonMacro.end(), libraryMacro.begin()));

  EXPECT_EQ(config.VWheelSpeed, 3);
  EXPECT_EQ(config.DoubleClickSpeed, 550);
  EXPECT_EQ(config.PointerSpeed, 10);
  EXPECT_EQ(config.ReportRate, 500);
  EXPECT_EQ(config.CPILevel, 4);
  EXPECT_EQ(config.CurrentCPIIndex, 1);
  EXPECT_EQ(config.CPIState[3].CPIX, 8000);
  EXPECT_EQ(config.CPIState[3].LevelState, 1);
  EXPECT_EQ(config.CPIState[4].CPIX, 0);
  EXPECT_EQ(config.UseDiffentXY[3], 1);
  EXPECT_EQ(config.UseDiffentXY[4], 0);
  EXPECT_EQ(config.LEDConfig.B, 255);
  EXPECT_EQ(config.LEDConfig.BRIGHT_LEVEL, 1);
}

TEST_F(FactoryDefaultsTest, RestoringOverAProfileKeepsTheFieldsItDoesNotList) {
  auto loaded = std::make_unique<TMouseProfileInfo>();
  std::ranges::fill(RecordBytes(*loaded), std::uint8_t{0xA5});
  loaded->MacroKeyInfoList.nMacroInfoCount = 9;
  dm_->xaProfileGame4.Write(RecordBytes(*loaded));
  dm_->RestoreProfileInfoToDefault(3);
  const auto profile = ReadStore(dm_->xaProfileGame4);

  EXPECT_EQ(profile->MacroKeyInfoList.nMacroInfoCount, 1);
  EXPECT_TRUE(std::equal(std::begin(profile->ConfigInfo.ApplicationList),
                         std::end(profile->ConfigInfo.ApplicationList),
                         std::begin(loaded->ConfigInfo.ApplicationList)));
  const auto kept = [&](const auto& restored, const auto& original) {
    const auto a = RecordBytes(restored);
    const auto b = RecordBytes(original);
    return std::equal(a.begin(), a.end(), b.begin());
  };
  EXPECT_TRUE(kept(profile->ConfigInfo.ButtonFuncInfo[12], loaded->ConfigInfo.ButtonFuncInfo[12]));
  EXPECT_TRUE(kept(profile->MacroKeyInfoList.MacroInfos[1], loaded->MacroKeyInfoList.MacroInfos[1]));
  EXPECT_TRUE(kept(profile->MacroKeyInfoList.MacroInfos[20], loaded->MacroKeyInfoList.MacroInfos[20]));
  EXPECT_TRUE(kept(profile->OtherConfig, loaded->OtherConfig));

  // Button 9 loses its parameters but keeps its fields from ButtonIndex on.
  const TBUTTONFUNCINFO& button9 = profile->ConfigInfo.ButtonFuncInfo[9];
  EXPECT_TRUE(AllZero(RecordBytes(button9).first(offsetof(TBUTTONFUNCINFO, ButtonIndex))));
  EXPECT_EQ(button9.FunctionIndex, 0xA5A5);
}

TEST_F(FactoryDefaultsTest, HandlersGrowAShortStreamAndKeepALongOne) {
  dm_->xaProfileGame5.SetSize(10);
  dm_->RestoreProfileInfoToDefault(4);
  EXPECT_EQ(dm_->xaProfileGame5.Stream().size(), sizeof(TMouseProfileInfo));
  EXPECT_EQ(ReadStore(dm_->xaProfileGame5)->ConfigInfo.ButtonCount, 7);

  dm_->xaProfileGame5.SetSize(sizeof(TMouseProfileInfo) + 100);
  dm_->RestoreProfileInfoToDefault(4);
  EXPECT_EQ(dm_->xaProfileGame5.Stream().size(), sizeof(TMouseProfileInfo) + 100);
}

TEST_F(FactoryDefaultsTest, MacroNameGoesThroughTheTranslation) {
  world_.translate = [](std::u16string_view text) { return u"<" + std::u16string(text) + u">"; };
  const auto dm = world_.Start();
  EXPECT_EQ(ReadFixedText(dm->FCurrentProfileInfo.MacroKeyInfoList.MacroInfos[0].szMacroName),
            u"<User Recorded>");
}

TEST_F(FactoryDefaultsTest, LanguageFollowsTheSystemLanguage) {
  struct Case {
    std::uint16_t languageId;
    std::uint8_t index;
  };
  for (const Case& c :
       {Case{0x0804, 1}, Case{0x0404, 2}, Case{0x0409, 0}, Case{0x0C04, 0}, Case{0x0411, 0}}) {
    SCOPED_TRACE(c.languageId);
    world_.locale.systemLanguage = c.languageId;
    dm_->xaProfileAllSettingInfo.RestoreToDefault();
    TALLGAMESINFO settings{};
    dm_->xaProfileAllSettingInfo.Read(RecordBytes(settings));
    EXPECT_EQ(settings.CurrentLanguage, c.index);
    EXPECT_EQ(settings.CurrentGame, 0);
    EXPECT_EQ(settings.Allgameset[0].SettingState, 1);
  }
}

TEST_F(FactoryDefaultsTest, GroupRecordNamesEveryProfileAndItsMacroFolder) {
  const TProfileSettingGroup& group = dm_->FProfileSettingGroup;
  const std::u16string folder = u"C:\\Users\\Gamer\\Documents\\QUORVAX Gaming Mouse 3";
  for (int i = 0; i < kProfileCount; ++i) {
    SCOPED_TRACE(i);
    const std::u16string n(1, static_cast<char16_t>(u'1' + i));
    const TPROFILESETTINGINFO& entry = group.ProfileSettingList[i];
    EXPECT_EQ(ReadFixedText(entry.ProfileFileName), u"ZV3Profile" + n + u".pfd");
    EXPECT_EQ(ReadFixedText(entry.ProfileFilePath), folder);
    EXPECT_EQ(ReadFixedText(entry.ProfileMacroPath), folder + u"\\ZV3Profile" + n + u"_Macros");
    EXPECT_EQ(ReadFixedText(entry.ProfileKeyPath), u"software\\QuorvaxGM3");
    EXPECT_EQ(entry.StorageType, 0);
  }
  EXPECT_EQ(group.CurrentProfileGroup, 0);
  EXPECT_EQ(group.ProfileIndexOfProfileGroup[0], 0);
  EXPECT_EQ(group.ProfileIndexOfProfileGroup[1], 1);
}

TEST_F(FactoryDefaultsTest, WorkingProfileSettingsRestoreOnTheirOwn) {
  TMOUSECONFIGINFO& config = dm_->FCurrentProfileInfo.ConfigInfo;
  EXPECT_EQ(config.UseDiffentXY[0], 1);
  config.CPIState[0].CPIX = 123;
  config.ReportRate = 1000;
  config.LEDConfig = {1, 2, 3, 4, 5, 6};

  dm_->RestoreToDefaultCPISetting();
  EXPECT_EQ(config.CPIState[0].CPIX, 1000);
  EXPECT_EQ(config.UseDiffentXY[0], 0);
  EXPECT_EQ(config.ReportRate, 1000);

  dm_->RestoreToDefaultLightAndReportAdvancedSetting();
  EXPECT_EQ(config.ReportRate, 500);
  EXPECT_EQ(config.LEDConfig.B, 255);
  EXPECT_EQ(config.LEDConfig.BREATH_SECOND, 6);  // not a factory field
}

TEST_F(FactoryDefaultsTest, TestAndDefaultProfilesAreBuiltInMemoryOnly) {
  dm_->FTestProfileInfo.ConfigInfo.ApplicationList[0] = 0x77;
  dm_->InitTestDefaultValue();
  const TMOUSECONFIGINFO& test = dm_->FTestProfileInfo.ConfigInfo;
  EXPECT_EQ(test.ButtonCount, 10);
  EXPECT_EQ(test.ApplicationList[0], 0);  // the test profile starts from zero
  EXPECT_EQ(test.ButtonFuncInfo[3].DeviceCode, 5u);
  EXPECT_EQ(test.ButtonFuncInfo[4].DeviceCode, 4u);
  EXPECT_EQ(test.ButtonFuncInfo[6].FunctionIndex, 14);
  EXPECT_EQ(test.ButtonFuncInfo[6].DeviceCode, 19u);
  EXPECT_EQ(test.ButtonFuncInfo[6].FunctionID, 0u);
  EXPECT_EQ(Bytes(test.ButtonFuncInfo[9].ReportCode, test.ButtonFuncInfo[9].ReportCode + 3),
            (Bytes{0, 2, 0}));
  EXPECT_EQ(dm_->FTestProfileInfo.MacroKeyInfoList.nMacroInfoCount, 0);
  EXPECT_EQ(dm_->FDefaultProfileInfo.ConfigInfo.ButtonCount, 7);
  EXPECT_FALSE(world_.Stored(kTestProfileValueName));
  EXPECT_FALSE(world_.Stored(kDefaultProfileValueName));

  // An empty test store is left empty.
  dm_->xaProfileTest.SetSize(0);
  dm_->xaProfileTest.RestoreToDefault();
  EXPECT_TRUE(dm_->xaProfileTest.Stream().empty());
}

TEST(DateTime, CountsDaysFromTheLastDaysOf1899) {
  EXPECT_EQ(DateTimeOf({1899, 12, 30, 0, 0, 0, 0}), 0.0);
  EXPECT_EQ(DateTimeOf({1900, 3, 1, 0, 0, 0, 0}), 61.0);
  EXPECT_EQ(DateTimeOf({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
  EXPECT_EQ(DateTimeOf({2024, 2, 29, 18, 0, 0, 0}), 45351.75);
  EXPECT_EQ(DateTimeOf({1899, 12, 29, 0, 0, 0, 0}), -1.0);
}

}  // namespace
}  // namespace monitor
