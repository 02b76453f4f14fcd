// The monitor's entry: one instance per user session, the profile manager
// before the main window, the message loop until "Exit".
#include <windows.h>

#include <memory>
#include <vector>

#include "app/Messages.h"
#include "app/MonitorMain.h"
#include "device/BusSelection.h"
#include "i18n/ActiveTranslation.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/VirtualHidBus.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32AudioEndpoints.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32DebugOutput.h"
#include "platform/win32/Win32DeviceNotifications.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32HidBus.h"
#include "platform/win32/Win32HookLibrary.h"
#include "platform/win32/Win32InputInjector.h"
#include "platform/win32/Win32KeyboardState.h"
#include "platform/win32/Win32KnownFolders.h"
#include "platform/win32/Win32LegacyMixer.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32MainLoop.h"
#include "platform/win32/Win32PeerWindows.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Screen.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SystemInfo.h"
#include "profiles/ConfigFile.h"
#include "profiles/ProfileManager.h"
#include "win32/MainWindow.h"
#include "win32/Win32OverlayWindow.h"

namespace monitor::win32 {
namespace {

int RunMonitor(HINSTANCE instance) {
  // One monitor per session: a second start ends at once, silently. The
  // second test closes the gap between two starts at the same moment.
  const std::wstring mutexName = ToWide(kMonitorWindowClass);
  if (UniqueHandle running(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, mutexName.c_str())); running) {
    return 0;
  }
  UniqueHandle mutex(CreateMutexW(nullptr, TRUE, mutexName.c_str()));
  if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
    return 0;
  }

  Win32Registry registry;
  Win32FileSystem files;
  Win32KnownFolders folders;
  Win32Locale locale;
  Win32Clock clock;
  Win32DebugOutput debug;
  ActiveTranslation translation;
  auto DM = std::make_unique<TDM>(
      ProfileServices{registry, files, folders, locale, clock, debug, translation.Lookup()});

  Win32MainLoop mainLoop;
  MainWindow window(instance, mainLoop);
  translation.RegisterScene(window.Scene());
  const IniFile& settings = DM->FInstallationConfig;
  // The virtual mouse stands in for the device only where the installation
  // says so explicitly.
  std::unique_ptr<HidBus> bus;
  if (UsesVirtualMouse(settings)) {
    bus = std::make_unique<VirtualHidBus>();
  } else {
    bus = std::make_unique<Win32HidBus>();
  }
  Win32PeerWindows peers;
  Win32Shell shell;
  Win32SystemInfo system;
  Win32AudioEndpoints audio;
  Win32LegacyMixer mixer;
  Win32HookLibrary hooks;
  Win32KeyboardState keyboard;
  Win32InputInjector injector;
  Win32OverlayWindow overlay;
  Win32Screen screen;

  auto monitor =
      std::make_unique<TZelMonExMain3>(MonitorServices{*DM,
                                                       *bus,
                                                       std::make_unique<Win32DeviceNotifications>(),
                                                       mainLoop,
                                                       window,
                                                       peers,
                                                       shell,
                                                       registry,
                                                       files,
                                                       folders,
                                                       locale,
                                                       translation,
                                                       &window.Form(),
                                                       clock,
                                                       system,
                                                       audio,
                                                       mixer,
                                                       hooks,
                                                       keyboard,
                                                       injector,
                                                       overlay,
                                                       screen,
                                                       debug,
                                                       ReadIncludeHidDeviceList(settings)});
  window.Attach(monitor.get());
  const int exitCode = mainLoop.Run();
  window.Attach(nullptr);
  monitor.reset();  // stops all reading, unloads the hook library
  translation.UnregisterScene(window.Scene());
  ReleaseMutex(mutex.get());
  return exitCode;
}

}  // namespace
}  // namespace monitor::win32

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
  return monitor::win32::RunMonitor(instance);
}
