#include "app/MonitorMain.h"

#include <chrono>
#include <exception>
#include <string>

#include "app/Messages.h"
#include "device/DeviceUpload.h"
#include "platform/Utf8.h"
#include "profiles/CodeTables.h"

namespace monitor {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kDeviceArrivalDelay{1500};
// Long enough for a configuration program that is busy but alive; one that
// has stopped responding is given up at once.
constexpr milliseconds kSendTimeout{5000};

constexpr std::u16string_view kProfileIdValueName = u"ProfileID";

std::u16string Decimal(unsigned number) {
  const std::string text = std::to_string(number);
  return {text.begin(), text.end()};
}

}  // namespace

TZelMonExMain3::TZelMonExMain3(MonitorServices services)
    : xaHIDData1(services.hidBus, services.mainLoop, services.debug, services.includedDevices),
      xaHIDEvent1(std::move(services.notifications), services.mainLoop),
      TimerDeviceArrial(services.mainLoop, kDeviceArrivalDelay),
      xaLanguage1({services.translation, services.locale, services.files, services.folders, services.debug},
                  services.form),
      xaHook1(services.hookLibrary, services.keyboard, services.shell),
      recorder({services.DM, xaHook1, services.mainLoop, services.debug, services.translation.Lookup(),
                [this] {
                  return std::make_unique<TFrmRecord>(services_.overlay, services_.screen, services_.mainLoop,
                                                      services_.translation.Lookup());
                },
                [this](std::int32_t profileIndex) {
                  UploadProfileToDevice(services_.DM.FCurrentProfileInfo, profileIndex, xaHIDData1,
                                        services_.DM.FHidUsageAndPage,
                                        [this] { services_.mainLoop.ProcessPendingMessages(); });
                },
                [this](std::int32_t profileIndex) {
                  SendToConfigProgram(MSG_RECORD_SAVED, static_cast<std::uintptr_t>(profileIndex), 0);
                }}),
      player(services.injector, services.clock, services.debug),
      services_(std::move(services)) {
  xaHIDData1.OnData = [this](const std::u16string& id, const std::u16string& path, std::uint8_t reportId,
                             std::span<const std::uint8_t> data) {
    xaHIDData1Data(id, path, reportId, data);
  };
  xaHIDEvent1.OnDeviceArrival = [this](TxaHIDEvent& sender) { xaHIDEvent1DeviceArrival(sender); };
  TimerDeviceArrial.OnTimer = [this] { TimerDeviceArrialTimer(); };
  xaHook1.OnRecordMouseMacroKey = [this](std::int32_t macroType, TMouseButtons button, std::int32_t state,
                                         std::int32_t, std::int32_t, double, const std::u16string& text,
                                         const std::u16string&, const TxaHook::MouseRecordList&) {
    recorder.xaHook1RecordMouseMacroKey(macroType, button, state, text);
  };
  FormCreate();
}

TZelMonExMain3::~TZelMonExMain3() { FormDestroy(); }

void TZelMonExMain3::FormCreate() {
  player.IsPlayingMacro = false;
  RefreshLanguageAndCaptions();
  recorder.IsRecording = false;
  const WindowsVersion version = services_.system.Version();
  if (version.ntFamily && version.major >= 6) {
    InitCaptureEndpoint();
  }
}

void TZelMonExMain3::FormDestroy() { xaHIDData1.HidStopRead(); }

std::u16string TZelMonExMain3::Translate(std::u16string_view text) const {
  return services_.translation.Translate(text);
}

void TZelMonExMain3::RefreshLanguageAndCaptions() {
  const int wanted = services_.DM.FAllProfileSettingInfo.CurrentLanguage;
  if (xaLanguage1.GetLanguageIndexByShortID(xaLanguage1.Lang()) != wanted) {
    xaLanguage1.SetLang(xaLanguage1.GetLanguageShortIDByIndex(wanted));
  }
  MonitorWindows& windows = services_.windows;
  const auto setHintAndTitle = [&] {
    windows.SetTrayHint(Translate(u"Gaming Mouse Driver"));
    windows.SetApplicationTitle(Translate(u"Gaming Mouse Monitor"));
  };
  setHintAndTitle();
  windows.SetMenuCaption(0, Translate(u"Config"));
  windows.SetMenuCaption(1, Translate(u"About"));
  windows.SetMenuCaption(2, Translate(u"Exit"));
  setHintAndTitle();
}

// ---- Tray menu and About window ----

void TZelMonExMain3::TrayIconDblClick() { RunConfigProgram(); }

void TZelMonExMain3::Config1Click() { RunConfigProgram(); }

void TZelMonExMain3::About1Click() {
  services_.windows.ShowMainWindow();
  ProcessMessageAndSleep50ms();
  services_.windows.BringMainWindowToFront();
}

void TZelMonExMain3::BtnCloseClick() { services_.windows.HideMainWindow(); }

void TZelMonExMain3::BtnOKClick() { services_.windows.HideMainWindow(); }

void TZelMonExMain3::Exit1Click() {
  if (const auto config = services_.peers.FindByClass(kConfigWindowClass)) {
    services_.peers.Post(*config, MSG_MONITOR_EXIT, 0, 0);
  }
  services_.windows.EndApplication();
}

// The configuration program is brought forward when it runs, else started
// by its full path in the monitor's own folder, never through the current
// folder.
void TZelMonExMain3::RunConfigProgram() {
  if (const auto config = services_.peers.FindByClass(kConfigWindowClass)) {
    services_.peers.BringToForeground(*config);
    return;
  }
  const std::u16string folder = services_.folders.ExecutableFolder();
  services_.shell.Launch(folder + std::u16string(kConfigProgramFile), folder);
}

void TZelMonExMain3::ProcessMessageAndSleep50ms() {
  services_.mainLoop.ProcessPendingMessages();
  services_.clock.SleepFor(milliseconds(50));
}

// ---- The mouse ----

void TZelMonExMain3::xaHIDEvent1DeviceArrival(TxaHIDEvent& /*Sender*/) {
  // Restarting the count collapses a burst of arrivals into one re-open.
  TimerDeviceArrial.SetEnabled(false);
  TimerDeviceArrial.SetEnabled(true);
}

void TZelMonExMain3::TimerDeviceArrialTimer() {
  TimerDeviceArrial.SetEnabled(false);
  ReopenDevice();
}

void TZelMonExMain3::ReopenDevice() {
  xaHIDData1.HidStopRead();
  ProcessMessageAndSleep50ms();
  xaHIDData1.HidFindAndReadDevice(services_.DM.FHidUsageAndPage, u"*");
}

void TZelMonExMain3::xaHIDData1Data(const std::u16string& /*ADeviceID*/,
                                    const std::u16string& /*ADevicePath*/, std::uint8_t ReportID,
                                    std::span<const std::uint8_t> Data) {
  if (Data.size() != 7) {
    return;
  }
  if (ReportID == 7) {
    const auto keyIndex = KeyIndexOfReportCode({Data[0], Data[1], Data[2]});
    if (!keyIndex) {
      return;
    }
    services_.debug.Write(u"KeyIndex = " + Decimal(static_cast<unsigned>(*keyIndex)) +
                          u" postmessage record!");
    services_.windows.PostToMainWindow(MSG_BUTTON_EVENT, static_cast<std::uintptr_t>(*keyIndex), 1);
  } else if (ReportID == 8 && Data[0] == 1) {
    if (Data[1] == 0) {
      services_.windows.PostToMainWindow(MSG_BUTTON_EVENT, kSwitchedToProfile0, 0);
    } else if (Data[1] == 1) {
      services_.windows.PostToMainWindow(MSG_BUTTON_EVENT, kSwitchedToProfile1, 0);
    }
  }
}

bool TZelMonExMain3::HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  switch (message) {
    case MSG_BUTTON_EVENT:
      HandleButtonEvent(wParam, lParam);
      return true;
    case MSG_RELOAD_PROFILE:
      ReloadProfile(lParam);
      return true;
    case MSG_RELOAD_ALL:
      ReloadAll();
      return true;
    default:
      return false;
  }
}

void TZelMonExMain3::HandleButtonEvent(std::uintptr_t keyIndexOrSwitch, std::intptr_t param) {
  if (keyIndexOrSwitch == kSwitchedToProfile0 || keyIndexOrSwitch == kSwitchedToProfile1) {
    const std::uint32_t profile = keyIndexOrSwitch == kSwitchedToProfile0 ? 0 : 1;
    SaveProfileIDToRegistry(profile);
    SendToConfigProgram(MSG_PROFILE_SWITCHED, profile, 0);
    return;
  }
  // Key indexes 15 to 23 are valid codes but name no button record.
  if (keyIndexOrSwitch >= static_cast<std::uintptr_t>(kButtonCapacity)) {
    return;
  }
  const auto keyIndex = static_cast<std::uint8_t>(keyIndexOrSwitch);
  DoButtonFunction(keyIndex,
                   services_.DM.FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[keyIndex].FunctionIndex,
                   static_cast<std::uint8_t>(param));
}

void TZelMonExMain3::DoButtonFunction(std::uint8_t KeyIndex, std::uint16_t FunctionIndex,
                                      std::uint8_t /*Param*/) {
  switch (FunctionIndex) {
    case kFunctionMicrophoneMute:
      MicrophoneMute();
      break;
    case kFunctionPlayMacro:
      if (!player.IsPlayingMacro) {
        PlayMacro();
      }
      break;
    case kFunctionRecordMacro:
      ToggleRecordMacro(KeyIndex);
      break;
    default:
      break;  // the mouse's own business
  }
}

void TZelMonExMain3::ReloadProfile(std::intptr_t profileId) {
  TDM& dm = services_.DM;
  dm.LoadProfileGroupSettingInfoFromRegistry();
  dm.LoadAllProfileInfoFromRegistry();
  dm.LoadCurrentProfileInfoFromRegistry();
  SaveProfileIDToRegistry(static_cast<std::uint32_t>(profileId));
}

void TZelMonExMain3::ReloadAll() {
  services_.DM.LoadAllProfileInfoFromRegistry();
  RefreshLanguageAndCaptions();
}

bool TZelMonExMain3::SaveProfileIDToRegistry(std::uint32_t Value) {
  const auto key =
      services_.registry.OpenKey(RegistryRoot::CurrentUser, kProfileKeyPath, KeyOpening::ExistingOnly);
  if (!key) {
    return false;
  }
  try {
    key->SetValue(kProfileIdValueName, DwordValue(Value));
    return true;
  } catch (const std::exception& error) {
    services_.debug.Write(u"cannot store ProfileID: " + FromUtf8(error.what()).value_or(u""));
    return false;
  }
}

void TZelMonExMain3::SendToConfigProgram(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (const auto config = services_.peers.FindByClass(kConfigWindowClass)) {
    services_.peers.Send(*config, message, wParam, lParam, kSendTimeout);
  }
}

// ---- Microphone mute ----

void TZelMonExMain3::MicrophoneMute() {
  const WindowsVersion version = services_.system.Version();
  if (!version.ntFamily || version.major < 6) {
    const bool muted = GetMixerLineMute(MixerLineKind::Microphone);
    SetMixerLineMute(MixerLineKind::Microphone, !muted);
    return;
  }
  if (!FEndpoint) {
    InitCaptureEndpoint();
  }
  if (!FEndpoint) {
    return;  // no microphone: nothing to toggle, nothing to show
  }
  // A state that cannot be read is not guessed at.
  if (const auto muted = FEndpoint->GetMute(); muted && FEndpoint->SetMute(!*muted)) {
    services_.debug.Write(*muted ? u"microphone unmuted" : u"microphone muted");
  }
}

void TZelMonExMain3::InitCaptureEndpoint() {
  FEndpoint = services_.audio.OpenDefaultCaptureEndpoint([this] {
    FVolumeUpdating = true;
    FVolumeUpdating = false;
  });
}

bool TZelMonExMain3::GetMixerLineMute(MixerLineKind Kind) {
  const auto opened = services_.mixer.OpenLineMute(Kind);
  if (opened.result == LegacyMixer::Opening::NoMuteControl) {
    services_.shell.ShowError(u"GetLineInfo Error", Translate(u"Gaming Mouse Monitor"));
  }
  if (opened.result != LegacyMixer::Opening::Opened) {
    return false;
  }
  const auto muted = opened.control->Read();
  if (!muted) {
    services_.shell.ShowError(u"SetControlDetails Error", Translate(u"Gaming Mouse Monitor"));
  }
  return muted.value_or(false);
}

void TZelMonExMain3::SetMixerLineMute(MixerLineKind Kind, bool Value) {
  const auto opened = services_.mixer.OpenLineMute(Kind);
  if (opened.result == LegacyMixer::Opening::NoMuteControl) {
    services_.shell.ShowError(u"GetLineInfo Error", Translate(u"Gaming Mouse Monitor"));
  }
  if (opened.result == LegacyMixer::Opening::Opened && !opened.control->Write(Value)) {
    services_.shell.ShowError(u"SetControlDetails Error", Translate(u"Gaming Mouse Monitor"));
  }
}

// ---- Macros ----

void TZelMonExMain3::PlayMacro() { player.PlayMacro(services_.DM.FCurrentProfileInfo); }

void TZelMonExMain3::ToggleRecordMacro(std::uint8_t KeyIndex) { recorder.ToggleRecordMacro(KeyIndex); }

}  // namespace monitor
