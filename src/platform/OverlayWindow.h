// The small always-on-top "Recording..." window, and the screen it sits on.
#pragma once

#include <string>
#include <string_view>

namespace monitor {

class OverlayWindow {
 public:
  virtual ~OverlayWindow() = default;

  // Creates the window at that place, with its title ("Recording..."), and
  // shows it on top of the others.
  virtual void Show(int left, int top, std::u16string_view title) = 0;
  // Appends one centred line to its list.
  virtual void AddLine(std::u16string_view text) = 0;
  // Gives it the input focus and puts it on top again, where it is.
  virtual void BringToTop() = 0;
  // Closes and frees it.
  virtual void Close() = 0;
};

struct ScreenSize {
  int width;
  int height;
};

class Screen {
 public:
  virtual ~Screen() = default;

  virtual ScreenSize PrimaryScreenSize() = 0;
  // The title of the foreground window, at most 255 characters.
  virtual std::u16string ForegroundWindowTitle() = 0;
};

}  // namespace monitor
