// Fakes of what the monitor sees of the desktop: its own windows, other
// programs' windows, the shell and the Windows version.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/MainLoop.h"
#include "platform/MonitorWindows.h"
#include "platform/PeerWindows.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"

namespace monitor::fakes {

struct WindowMessage {
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;

  friend bool operator==(const WindowMessage&, const WindowMessage&) = default;
};

// The monitor's own windows. Messages posted to the main window go through
// the main loop to the handler the test installs, as the message queue
// would deliver them.
class FakeMonitorWindows final : public MonitorWindows {
 public:
  explicit FakeMonitorWindows(MainLoop& mainLoop) : mainLoop_(mainLoop) {}

  void ShowMainWindow() override { calls.push_back(u"show"); }
  void HideMainWindow() override { calls.push_back(u"hide"); }
  void BringMainWindowToFront() override { calls.push_back(u"front"); }
  void SetApplicationTitle(std::u16string_view title) override {
    calls.push_back(u"title " + std::u16string(title));
  }
  void SetTrayHint(std::u16string_view hint) override { calls.push_back(u"hint " + std::u16string(hint)); }
  void SetMenuCaption(int position, std::u16string_view caption) override {
    calls.push_back(u"menu " + std::u16string(1, static_cast<char16_t>(u'0' + position)) + u" " +
                    std::u16string(caption));
  }
  void EndApplication() override { ended = true; }
  void PostToMainWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    posted.push_back({message, wParam, lParam});
    mainLoop_.Post([this, message, wParam, lParam] {
      if (handler) {
        handler(message, wParam, lParam);
      }
    });
  }

  std::function<void(std::uint32_t, std::uintptr_t, std::intptr_t)> handler;
  std::vector<std::u16string> calls;
  std::vector<WindowMessage> posted;
  bool ended = false;

 private:
  MainLoop& mainLoop_;
};

// Other programs' windows: at most the configuration program's.
class FakePeerWindows final : public PeerWindows {
 public:
  std::optional<WindowHandle> FindByClass(std::u16string_view className) override {
    lookedUp.emplace_back(className);
    return configRunning && className == u"TZelCfgExMain3" ? std::optional(kConfig) : std::nullopt;
  }
  void Post(WindowHandle, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    posted.push_back({message, wParam, lParam});
  }
  bool Send(WindowHandle, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
            std::chrono::milliseconds timeout) override {
    sent.push_back({message, wParam, lParam});
    lastTimeout = timeout;
    return true;
  }
  void BringToForeground(WindowHandle) override { ++broughtForward; }

  static constexpr WindowHandle kConfig{0x1234};
  bool configRunning = false;
  std::vector<std::u16string> lookedUp;
  std::vector<WindowMessage> posted;
  std::vector<WindowMessage> sent;
  std::chrono::milliseconds lastTimeout{0};
  int broughtForward = 0;
};

class FakeShell final : public Shell {
 public:
  struct Launched {
    std::u16string program;
    std::u16string workingFolder;
  };
  bool Launch(std::u16string_view program, std::u16string_view workingFolder) override {
    launched.push_back({std::u16string(program), std::u16string(workingFolder)});
    return true;
  }
  void ShowError(std::u16string_view text, std::u16string_view caption) override {
    errors.push_back(std::u16string(text) + u" | " + std::u16string(caption));
  }

  std::vector<Launched> launched;
  std::vector<std::u16string> errors;
};

class FakeSystemInfo final : public SystemInfo {
 public:
  WindowsVersion version{true, 10};
  WindowsVersion Version() override { return version; }
};

}  // namespace monitor::fakes
