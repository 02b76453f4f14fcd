// The monitor's main window: hidden at start and without a taskbar button,
// it owns the tray icon and its menu, doubles as the About window, and hands
// its messages to the window logic (TZelMonExMain3).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "i18n/TranslatableComponent.h"
#include "platform/MonitorWindows.h"
#include "platform/win32/Win32MainLoop.h"

namespace monitor {
class TZelMonExMain3;
}

namespace monitor::win32 {

// Tray menu commands, also what a test posts as WM_COMMAND to drive the menu.
inline constexpr UINT kMenuConfig = 1;
inline constexpr UINT kMenuAbout = 2;
inline constexpr UINT kMenuExit = 3;

class MainWindow final : public MonitorWindows {
 public:
  MainWindow(HINSTANCE instance, Win32MainLoop& mainLoop);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // The logic that handles what the window receives; made after the window.
  void Attach(TZelMonExMain3* logic) { logic_ = logic; }
  [[nodiscard]] HWND Handle() const { return window_; }
  // The window's components as translation sees them: the form, and the
  // scene that holds the About window's texts, whose texts follow the active
  // table by themselves (register it with the active translation).
  [[nodiscard]] TranslatableComponent& Form();
  [[nodiscard]] TranslatableComponent& Scene();

  void ShowMainWindow() override;
  void HideMainWindow() override;
  void BringMainWindowToFront() override;
  void SetApplicationTitle(std::u16string_view title) override;
  void SetTrayHint(std::u16string_view hint) override;
  void SetMenuCaption(int position, std::u16string_view caption) override;
  void EndApplication() override;
  void PostToMainWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

 private:
  class Component;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void AddTrayIcon();
  void ShowTrayMenu();
  void Click(POINT point);

  Win32MainLoop& mainLoop_;
  HWND window_ = nullptr;
  HMENU menu_ = nullptr;
  HICON icon_ = nullptr;
  UINT taskbarCreated_ = 0;
  std::wstring trayHint_;
  std::wstring applicationTitle_;
  TZelMonExMain3* logic_ = nullptr;
  std::unique_ptr<Component> form_;
  std::unique_ptr<Component> scene_;
  std::vector<std::unique_ptr<Component>> components_;
  Component* label1_ = nullptr;
  Component* label2_ = nullptr;
  Component* label3_ = nullptr;
  Component* buttonOk_ = nullptr;
};

}  // namespace monitor::win32
