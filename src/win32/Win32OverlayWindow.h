// The "Recording..." overlay on the screen: a layered, always-on-top tool
// window without a frame or a taskbar button, showing the picture of
// OverlayPicture with its dot blinking.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/OverlayWindow.h"
#include "platform/win32/HiddenWindow.h"
#include "win32/OverlayPicture.h"

namespace monitor::win32 {

// Lives on the main thread, whose message loop blinks the dot. Where the
// system refuses the window, Show leaves none and the rest does nothing:
// the recording goes on unseen.
class Win32OverlayWindow final : public OverlayWindow {
 public:
  Win32OverlayWindow() = default;
  ~Win32OverlayWindow() override = default;
  Win32OverlayWindow(const Win32OverlayWindow&) = delete;
  Win32OverlayWindow& operator=(const Win32OverlayWindow&) = delete;

  // A new window with an empty list, shown without taking the focus.
  void Show(int left, int top, std::u16string_view title) override;
  void AddLine(std::u16string_view text) override;
  void BringToTop() override;
  void Close() override;

  // The window while shown, for tests; null otherwise.
  [[nodiscard]] HWND Window() const { return window_.get(); }
  // What it shows, for tests.
  [[nodiscard]] const OverlayPicture* Picture() const { return picture_.get(); }

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  // Puts the picture with the dot of this moment on the screen.
  void Present(const POINT* place);

  std::u16string title_;
  std::vector<std::u16string> lines_;
  ULONGLONG shownAt_ = 0;
  std::unique_ptr<OverlayPicture> picture_;
  UniqueWindow window_;
};

}  // namespace monitor::win32
