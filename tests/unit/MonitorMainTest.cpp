#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/Messages.h"
#include "app/MonitorMain.h"
#include "fakes/FakeAudio.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeDeviceNotifications.h"
#include "fakes/FakeInput.h"
#include "fakes/FakeMainLoop.h"
#include "fakes/ProfileWorld.h"
#include "fakes/SimulatedHidBus.h"

namespace monitor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using fakes::WindowMessage;
using std::chrono::milliseconds;

// The monitor's main window on fakes, with a mouse on the simulated bus.
class MonitorMainTest : public ::testing::Test {
 protected:
  MonitorMainTest() {
    dm_ = profiles_.Start();
    mouse_ = &bus_.AddInterface({u"mouse", {u"HID\\VID_1D57&PID_FA60"}}, fakes::MouseVendorCapabilities());
  }

  TZelMonExMain3& Start() {
    auto notifications = std::make_unique<fakes::FakeDeviceNotifications>();
    notifications_ = notifications.get();
    monitor_ = std::make_unique<TZelMonExMain3>(MonitorServices{*dm_,
                                                                bus_,
                                                                std::move(notifications),
                                                                loop_,
                                                                windows_,
                                                                peers_,
                                                                shell_,
                                                                profiles_.registry,
                                                                profiles_.files,
                                                                profiles_.folders,
                                                                profiles_.locale,
                                                                translation_,
                                                                nullptr,
                                                                profiles_.clock,
                                                                system_,
                                                                audio_,
                                                                mixer_,
                                                                hooks_,
                                                                keyboard_,
                                                                injector_,
                                                                overlay_,
                                                                screen_,
                                                                profiles_.debug,
                                                                {}});
    windows_.handler = [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
      monitor_->HandleMessage(message, wParam, lParam);
    };
    // Count the reports the window has handled, so a test can wait for one.
    monitor_->xaHIDData1.OnData = [this](const std::u16string& id, const std::u16string& path,
                                         std::uint8_t reportId, std::span<const std::uint8_t> data) {
      monitor_->xaHIDData1Data(id, path, reportId, data);
      ++reportsHandled_;
    };
    return *monitor_;
  }

  // Brings the mouse in as start-up does: the start arrival, then the timer.
  void OpenMouse() {
    loop_.AdvanceTime(milliseconds(3000));
    ASSERT_EQ(monitor_->xaHIDData1.ReaderCount(), 1u);
  }

  // The mouse sends a report; the main loop runs until the window has
  // handled it, and the messages it posted.
  void Report(const Bytes& report) {
    const int expected = reportsHandled_ + 1;
    mouse_->SendInput(report);
    ASSERT_TRUE(loop_.RunUntil([&] { return reportsHandled_ == expected; }));
    loop_.RunPending();
  }

  void SetFunction(int button, std::uint16_t functionIndex) {
    dm_->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[button].FunctionIndex = functionIndex;
  }

  std::optional<std::uint32_t> StoredProfileId() {
    const auto value = profiles_.Stored(u"ProfileID");
    return value ? DwordOf(*value) : std::nullopt;
  }

  ProfileWorld profiles_;
  std::unique_ptr<TDM> dm_;
  fakes::SimulatedHidBus bus_;
  fakes::SimulatedInterface* mouse_ = nullptr;
  fakes::FakeMainLoop loop_;
  fakes::FakeMonitorWindows windows_{loop_};
  fakes::FakePeerWindows peers_;
  fakes::FakeShell shell_;
  fakes::FakeSystemInfo system_;
  fakes::FakeAudioEndpoints audio_;
  fakes::FakeLegacyMixer mixer_;
  fakes::FakeHookLibrary hooks_;
  fakes::FakeKeyboardState keyboard_;
  fakes::RecordingInjector injector_;
  fakes::FakeOverlayWindow overlay_;
  fakes::FakeScreen screen_;
  ActiveTranslation translation_;
  fakes::FakeDeviceNotifications* notifications_ = nullptr;
  std::unique_ptr<TZelMonExMain3> monitor_;
  int reportsHandled_ = 0;
};

TEST_F(MonitorMainTest, ButtonReportsBecomeButtonMessages) {
  Start();
  OpenMouse();
  struct Case {
    const char* label;
    Bytes report;
    std::optional<WindowMessage> posted;
  };
  const Case cases[] = {
      {"key index 7", {7, 0x80, 0, 0, 9, 9, 9, 9}, WindowMessage{7524, 7, 1}},
      {"key index 16", {7, 0, 0, 1, 0, 0, 0, 0}, WindowMessage{7524, 16, 1}},
      {"two buttons at once", {7, 3, 0, 0, 0, 0, 0, 0}, std::nullopt},
      {"release", {7, 0, 0, 0, 0, 0, 0, 0}, std::nullopt},
      {"device switched to profile 1", {8, 1, 1, 0, 0, 0, 0, 0}, WindowMessage{7524, 22, 0}},
      {"device switched to profile 0", {8, 1, 0, 0, 0, 0, 0, 0}, WindowMessage{7524, 21, 0}},
      {"profile report of another kind", {8, 2, 0, 0, 0, 0, 0, 0}, std::nullopt},
      {"profile report for profile 2", {8, 1, 2, 0, 0, 0, 0, 0}, std::nullopt},
      {"other report", {5, 0x80, 0, 0, 0, 0, 0, 0}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    windows_.posted.clear();
    Report(c.report);
    if (c.posted) {
      ASSERT_EQ(windows_.posted.size(), 1u);
      EXPECT_EQ(windows_.posted[0], *c.posted);
    } else {
      EXPECT_TRUE(windows_.posted.empty());
    }
  }
  EXPECT_EQ(profiles_.debug.lines.front(), u"KeyIndex = 7 postmessage record!");
}

TEST_F(MonitorMainTest, ReportsOfAnotherSizeAreIgnored) {
  Start();
  monitor_->xaHIDData1Data(u"", u"", 7, Bytes{0x80, 0, 0, 0, 0, 0, 0, 0});  // 8 data bytes
  monitor_->xaHIDData1Data(u"", u"", 7, Bytes{0x80, 0, 0});
  EXPECT_TRUE(windows_.posted.empty());
  monitor_->xaHIDData1Data(u"", u"", 7, Bytes{0x80, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(windows_.posted.size(), 1u);
}

TEST_F(MonitorMainTest, ProfileSwitchOfTheMouseIsStoredAndAnnounced) {
  Start();
  peers_.configRunning = true;
  monitor_->HandleMessage(MSG_BUTTON_EVENT, 22, 0);
  EXPECT_EQ(StoredProfileId(), 1u);
  ASSERT_EQ(peers_.sent.size(), 1u);
  EXPECT_EQ(peers_.sent[0], (WindowMessage{7040, 1, 0}));
  EXPECT_GT(peers_.lastTimeout, milliseconds(0));  // a hung configuration program cannot freeze us

  monitor_->HandleMessage(MSG_BUTTON_EVENT, 21, 0);
  EXPECT_EQ(StoredProfileId(), 0u);
  EXPECT_EQ(peers_.sent[1], (WindowMessage{7040, 0, 0}));
  EXPECT_EQ(dm_->FProfileIndex, 0);  // the monitor's own profile stays

  peers_.configRunning = false;
  monitor_->HandleMessage(MSG_BUTTON_EVENT, 22, 0);
  EXPECT_EQ(peers_.sent.size(), 2u);
  EXPECT_EQ(StoredProfileId(), 1u);
}

TEST_F(MonitorMainTest, ProfileIdIsWrittenOnlyIntoAnExistingKey) {
  ProfileWorld empty;
  const auto key =
      empty.registry.OpenKey(RegistryRoot::CurrentUser, u"software\\QuorvaxGM3", KeyOpening::ExistingOnly);
  ASSERT_EQ(key, nullptr);
  Start();
  EXPECT_TRUE(monitor_->SaveProfileIDToRegistry(5));  // the profile manager made the key
  profiles_.registry.FailWrites(true);
  EXPECT_FALSE(monitor_->SaveProfileIDToRegistry(6));
  profiles_.registry.FailWrites(false);
  EXPECT_EQ(StoredProfileId(), 5u);
}

TEST_F(MonitorMainTest, ButtonFunctionsAreCarriedOutForButtonsOnly) {
  Start();
  SetFunction(3, 28);  // microphone mute
  SetFunction(14, 28);
  monitor_->HandleMessage(MSG_BUTTON_EVENT, 3, 1);
  EXPECT_TRUE(audio_.microphone.muted);
  monitor_->HandleMessage(MSG_BUTTON_EVENT, 14, 1);
  EXPECT_FALSE(audio_.microphone.muted);
  // Key indexes 15 to 23 name no button record.
  for (const std::uintptr_t keyIndex : {15u, 20u, 23u, 99u}) {
    monitor_->HandleMessage(MSG_BUTTON_EVENT, keyIndex, 1);
  }
  EXPECT_FALSE(audio_.microphone.muted);
  EXPECT_EQ(audio_.microphone.writes, 2);
}

TEST_F(MonitorMainTest, MacroButtonsPlayAndRecord) {
  Start();
  // The factory profile: button 6 plays the double click, button 7 records.
  monitor_->HandleMessage(MSG_BUTTON_EVENT, 6, 1);
  EXPECT_EQ(injector_.events,
            (std::vector<std::string>{"button 0 down", "button 0 up", "button 0 down", "button 0 up"}));
  EXPECT_EQ(profiles_.clock.waited,
            (std::vector<milliseconds>{milliseconds(6), milliseconds(15), milliseconds(6)}));
  EXPECT_FALSE(monitor_->IsPlayingMacro());

  monitor_->HandleMessage(MSG_BUTTON_EVENT, 7, 1);
  EXPECT_TRUE(monitor_->IsRecording());
  EXPECT_TRUE(overlay_.shown);
  ASSERT_NE(hooks_.mouse, nullptr);
  hooks_.Mouse(0x201, {0, 0, 0, 0, 100});
  hooks_.Mouse(0x202, {0, 0, 0, 0, 150});
  peers_.configRunning = true;
  monitor_->HandleMessage(MSG_BUTTON_EVENT, 7, 1);
  EXPECT_FALSE(monitor_->IsRecording());
  EXPECT_EQ(dm_->FCurrentProfileInfo.MacroKeyInfoList.MacroInfos[0].MacroListCount, 3);
  EXPECT_EQ(peers_.sent, (std::vector<WindowMessage>{{7038, 0, 0}}));
  // Uploaded into bank 0 of the mouse: begin, button table, one slot, end.
  EXPECT_EQ(mouse_->FeatureReports().size(), 4u);
}

TEST_F(MonitorMainTest, ReloadRequestsOfTheConfigurationProgramAreObeyed) {
  Start();
  auto settings = profiles_.StoredRecord<TALLGAMESINFO>(kAllSettingValueName);
  settings->CurrentLanguage = 0;  // "CH" in the built-in table
  profiles_.StoreRecord(kAllSettingValueName, *settings);
  auto profile = std::make_unique<TMouseProfileInfo>(dm_->FCurrentProfileInfo);
  profile->ConfigInfo.ButtonCount = 42;
  profiles_.StoreRecord(u"ZV3Profile1.pfd", *profile);

  EXPECT_TRUE(monitor_->HandleMessage(MSG_RELOAD_PROFILE, 0, 3));
  EXPECT_EQ(StoredProfileId(), 3u);
  EXPECT_EQ(dm_->FCurrentProfileInfo.ConfigInfo.ButtonCount, 42);

  windows_.calls.clear();
  EXPECT_TRUE(monitor_->HandleMessage(MSG_RELOAD_ALL, 0, 0));
  EXPECT_EQ(monitor_->xaLanguage1.Lang(), u"CH");
  EXPECT_EQ(windows_.calls.front(), u"hint 游戏鼠标驱动");

  EXPECT_FALSE(monitor_->HandleMessage(7036, 0, 0));  // not a message of the main window
}

TEST_F(MonitorMainTest, RefreshSwitchesLanguageOnlyWhenTheIndexDiffers) {
  dm_->FAllProfileSettingInfo.CurrentLanguage = 1;  // "US"
  Start();
  EXPECT_EQ(monitor_->xaLanguage1.Lang(), u"US");
  EXPECT_EQ(windows_.calls,
            (std::vector<std::u16string>{u"hint Gaming Mouse Driver", u"title Gaming Mouse Monitor",
                                         u"menu 0 Config", u"menu 1 About", u"menu 2 Exit",
                                         u"hint Gaming Mouse Driver", u"title Gaming Mouse Monitor"}));

  int switches = 0;
  monitor_->xaLanguage1.OnLanguageChanged = [&](TxaLanguage&, std::u16string_view, std::u16string_view) {
    ++switches;
  };
  windows_.calls.clear();
  monitor_->RefreshLanguageAndCaptions();
  EXPECT_EQ(switches, 0);
  EXPECT_EQ(windows_.calls.size(), 7u);  // captions are set all the same

  dm_->FAllProfileSettingInfo.CurrentLanguage = 0;
  monitor_->RefreshLanguageAndCaptions();
  EXPECT_EQ(switches, 1);
  EXPECT_EQ(windows_.calls[9], u"menu 0 打开配置");
  EXPECT_EQ(windows_.calls[11], u"menu 2 退出软件");
  EXPECT_EQ(windows_.calls[8], u"title Gaming Mouse Monitor");  // no entry: shown in English
}

TEST_F(MonitorMainTest, ArrivalsCollapseIntoOneReopen1500MsAfterTheLast) {
  Start();
  OpenMouse();  // the start-up arrival's re-open
  const int before = bus_.Enumerations();
  notifications_->Broadcast(0x8000, 5);
  loop_.AdvanceTime(milliseconds(400));
  notifications_->Broadcast(0x8000, 5);
  loop_.AdvanceTime(milliseconds(400));
  notifications_->Broadcast(0x8000, 5);  // 800 ms after the first
  loop_.AdvanceTime(milliseconds(1499));
  EXPECT_EQ(bus_.Enumerations(), before);
  loop_.AdvanceTime(milliseconds(1));
  EXPECT_EQ(bus_.Enumerations(), before + 1);
  loop_.AdvanceTime(milliseconds(10000));
  EXPECT_EQ(bus_.Enumerations(), before + 1);

  // Every re-open stops the readers first and lets pending work run.
  EXPECT_EQ(monitor_->xaHIDData1.ReaderCount(), 1u);
  EXPECT_EQ(mouse_->OpenHandles(), 1);
  EXPECT_EQ(profiles_.clock.slept, (std::vector<milliseconds>{milliseconds(50), milliseconds(50)}));
  EXPECT_EQ(loop_.ProcessPendingCalls(), 2);
}

TEST_F(MonitorMainTest, TheMouseIsOpenedAboutThreeSecondsAfterStart) {
  Start();
  SetFunction(7, 28);
  mouse_->SendInput({7, 0x80, 0, 0, 0, 0, 0, 0});  // pressed before anything reads it
  loop_.AdvanceTime(milliseconds(2999));
  EXPECT_EQ(monitor_->xaHIDData1.ReaderCount(), 0u);
  loop_.AdvanceTime(milliseconds(1));
  EXPECT_EQ(monitor_->xaHIDData1.ReaderCount(), 1u);
  std::this_thread::sleep_for(milliseconds(30));
  loop_.RunPending();
  EXPECT_TRUE(windows_.posted.empty());
  EXPECT_FALSE(audio_.microphone.muted);
}

TEST_F(MonitorMainTest, DestroyingTheWindowStopsAllReading) {
  Start();
  OpenMouse();
  monitor_.reset();
  EXPECT_EQ(mouse_->OpenHandles(), 0);
}

TEST_F(MonitorMainTest, MuteTogglesTheCaptureEndpoint) {
  Start();
  EXPECT_EQ(audio_.opens, 1);  // opened at creation on Windows 6 and later
  monitor_->MicrophoneMute();
  EXPECT_TRUE(audio_.microphone.muted);
  monitor_->MicrophoneMute();
  EXPECT_FALSE(audio_.microphone.muted);
  EXPECT_EQ(audio_.opens, 1);
  EXPECT_EQ(profiles_.debug.lines, (std::vector<std::u16string>{u"microphone muted", u"microphone unmuted"}));

  audio_.microphone.readFails = true;  // an unknown state is not guessed at
  monitor_->MicrophoneMute();
  EXPECT_EQ(audio_.microphone.writes, 2);
  EXPECT_TRUE(shell_.errors.empty());
  audio_.onChange();
  EXPECT_FALSE(monitor_->FVolumeUpdating);
}

TEST_F(MonitorMainTest, MuteWithoutMicrophoneDoesNothingAndTriesAgainNextTime) {
  audio_.present = false;
  Start();
  monitor_->MicrophoneMute();
  EXPECT_EQ(audio_.opens, 2);
  audio_.present = true;
  monitor_->MicrophoneMute();
  EXPECT_EQ(audio_.opens, 3);
  EXPECT_TRUE(audio_.microphone.muted);
  EXPECT_TRUE(shell_.errors.empty());
}

TEST_F(MonitorMainTest, OlderWindowsToggleTheMixerAndReportItsFailures) {
  system_.version = {true, 5};
  Start();
  EXPECT_EQ(audio_.opens, 0);
  monitor_->MicrophoneMute();
  EXPECT_TRUE(mixer_.microphone.muted);
  EXPECT_EQ(mixer_.lastKind, MixerLineKind::Microphone);
  monitor_->MicrophoneMute();
  EXPECT_FALSE(mixer_.microphone.muted);

  struct Case {
    const char* label;
    LegacyMixer::Opening opening;
    bool readFails, writeFails;
    std::vector<std::u16string> errors;
  };
  const std::u16string caption = u" | Gaming Mouse Monitor";
  const Case cases[] = {
      {"no mixer", LegacyMixer::Opening::NoMixer, false, false, {}},
      {"no microphone line", LegacyMixer::Opening::NoLine, false, false, {}},
      {"no mute control",
       LegacyMixer::Opening::NoMuteControl,
       false,
       false,
       {u"GetLineInfo Error" + caption, u"GetLineInfo Error" + caption}},
      {"read and write fail",
       LegacyMixer::Opening::Opened,
       true,
       true,
       {u"SetControlDetails Error" + caption, u"SetControlDetails Error" + caption}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    shell_.errors.clear();
    mixer_.opening = c.opening;
    mixer_.microphone.readFails = c.readFails;
    mixer_.microphone.writeFails = c.writeFails;
    monitor_->MicrophoneMute();
    EXPECT_EQ(shell_.errors, c.errors);
  }
}

TEST_F(MonitorMainTest, TrayAndAboutWindow) {
  Start();
  monitor_->TrayIconDblClick();
  ASSERT_EQ(shell_.launched.size(), 1u);
  EXPECT_EQ(shell_.launched[0].program, u"C:\\Program Files\\Gaming Mouse\\ZelCfgEx3.exe");
  EXPECT_EQ(shell_.launched[0].workingFolder, u"C:\\Program Files\\Gaming Mouse\\");

  peers_.configRunning = true;
  monitor_->Config1Click();
  EXPECT_EQ(shell_.launched.size(), 1u);
  EXPECT_EQ(peers_.broughtForward, 1);

  windows_.calls.clear();
  monitor_->About1Click();
  EXPECT_EQ(windows_.calls, (std::vector<std::u16string>{u"show", u"front"}));
  EXPECT_EQ(loop_.ProcessPendingCalls(), 1);
  monitor_->BtnOKClick();
  monitor_->BtnCloseClick();
  EXPECT_EQ(windows_.calls.back(), u"hide");
  EXPECT_FALSE(windows_.ended);

  monitor_->Exit1Click();
  EXPECT_EQ(peers_.posted, (std::vector<WindowMessage>{{7036, 0, 0}}));
  EXPECT_TRUE(windows_.ended);
}

TEST_F(MonitorMainTest, ExitWithoutConfigurationProgramStillEnds) {
  Start();
  monitor_->Exit1Click();
  EXPECT_TRUE(peers_.posted.empty());
  EXPECT_TRUE(windows_.ended);
}

}  // namespace
}  // namespace monitor
