// TZelMonExMain3: the logic of the monitor's main window. It opens the mouse
// after every device arrival, turns its reports into button actions, obeys
// the configuration program's reload messages, runs the tray menu and the
// About window, and toggles the microphone mute. The window itself (tray
// icon, painting, the message loop) is Windows code that calls in here.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "device/HidData.h"
#include "device/HidEvent.h"
#include "i18n/ActiveTranslation.h"
#include "i18n/Language.h"
#include "i18n/TranslatableComponent.h"
#include "macros/Hook.h"
#include "macros/MacroPlayer.h"
#include "macros/MacroRecorder.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/DeviceNotifications.h"
#include "platform/FileSystem.h"
#include "platform/HidBus.h"
#include "platform/InputHooks.h"
#include "platform/InputInjector.h"
#include "platform/KnownFolders.h"
#include "platform/Locale.h"
#include "platform/MainLoop.h"
#include "platform/MonitorWindows.h"
#include "platform/OverlayWindow.h"
#include "platform/PeerWindows.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"
#include "platform/Timer.h"
#include "profiles/ProfileManager.h"

namespace monitor {

struct MonitorServices {
  TDM& DM;
  HidBus& hidBus;
  std::unique_ptr<DeviceNotifications> notifications;
  MainLoop& mainLoop;
  MonitorWindows& windows;
  PeerWindows& peers;
  Shell& shell;
  Registry& registry;
  FileSystem& files;
  KnownFolders& folders;
  Locale& locale;
  ActiveTranslation& translation;
  // The main window's components as translation walks them; may be null.
  TranslatableComponent* form;
  Clock& clock;
  SystemInfo& system;
  AudioEndpoints& audio;
  LegacyMixer& mixer;
  InputHookLibrary& hookLibrary;
  KeyboardState& keyboard;
  InputInjector& injector;
  OverlayWindow& overlay;
  Screen& screen;
  DebugOutput& debug;
  std::vector<std::u16string> includedDevices;  // the "config.ini" device list
};

class TZelMonExMain3 {
 public:
  // Creates the components and runs FormCreate.
  explicit TZelMonExMain3(MonitorServices services);
  // Runs FormDestroy.
  ~TZelMonExMain3();
  TZelMonExMain3(const TZelMonExMain3&) = delete;
  TZelMonExMain3& operator=(const TZelMonExMain3&) = delete;

  // ---- Components ----
  TxaHIDData xaHIDData1;
  TxaHIDEvent xaHIDEvent1;
  TTimer TimerDeviceArrial;
  TxaLanguage xaLanguage1;
  TxaHook xaHook1;
  TMacroRecorder recorder;
  TMacroPlayer player;

  // ---- State ----
  std::unique_ptr<EndpointVolume> FEndpoint;  // empty until the capture endpoint is opened
  std::atomic<bool> FVolumeUpdating = false;  // set only while a change notification is handled
  [[nodiscard]] bool IsPlayingMacro() const { return player.IsPlayingMacro; }
  [[nodiscard]] bool IsRecording() const { return recorder.IsRecording; }

  // ---- Handlers ----
  void FormCreate();
  void FormDestroy();
  void TrayIconDblClick();
  void Config1Click();
  void About1Click();
  void BtnCloseClick();
  void BtnOKClick();
  void Exit1Click();
  // A window message for the main window; false when it is not one of ours.
  bool HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  void xaHIDData1Data(const std::u16string& ADeviceID, const std::u16string& ADevicePath,
                      std::uint8_t ReportID, std::span<const std::uint8_t> Data);
  void xaHIDEvent1DeviceArrival(TxaHIDEvent& Sender);
  void TimerDeviceArrialTimer();

  // ---- Operations ----
  void DoButtonFunction(std::uint8_t KeyIndex, std::uint16_t FunctionIndex, std::uint8_t Param);
  bool SaveProfileIDToRegistry(std::uint32_t Value);
  void ReopenDevice();
  void RunConfigProgram();
  void ProcessMessageAndSleep50ms();
  void RefreshLanguageAndCaptions();
  void MicrophoneMute();
  void InitCaptureEndpoint();
  bool GetMixerLineMute(MixerLineKind Kind);
  void SetMixerLineMute(MixerLineKind Kind, bool Value);
  void PlayMacro();
  void ToggleRecordMacro(std::uint8_t KeyIndex);

 private:
  void HandleButtonEvent(std::uintptr_t keyIndexOrSwitch, std::intptr_t param);
  void ReloadProfile(std::intptr_t profileId);
  void ReloadAll();
  // Sends to the configuration program, if it runs, without letting a hung
  // one freeze the monitor.
  void SendToConfigProgram(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  std::u16string Translate(std::u16string_view text) const;

  MonitorServices services_;
};

}  // namespace monitor
