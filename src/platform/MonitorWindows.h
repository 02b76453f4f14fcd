// The monitor's own windows as its logic drives them: the hidden main window,
// which is also the About window, and the tray icon with its menu.
#pragma once

#include <cstdint>
#include <string_view>

namespace monitor {

class MonitorWindows {
 public:
  virtual ~MonitorWindows() = default;

  virtual void ShowMainWindow() = 0;
  virtual void HideMainWindow() = 0;
  virtual void BringMainWindowToFront() = 0;
  virtual void SetApplicationTitle(std::u16string_view title) = 0;
  virtual void SetTrayHint(std::u16string_view hint) = 0;
  // The caption of tray menu item 0, 1 or 2.
  virtual void SetMenuCaption(int position, std::u16string_view caption) = 0;
  // Ends the message loop; the program then ends.
  virtual void EndApplication() = 0;
  // Posts a window message to the main window.
  virtual void PostToMainWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace monitor
