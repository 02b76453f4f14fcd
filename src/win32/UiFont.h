// The font of the monitor's windows: a face that holds both Latin and
// Chinese text, whichever the system has.
#pragma once

#include <windows.h>

namespace monitor::win32 {

class UiFont {
 public:
  // A font of that size in points for the device context.
  UiFont(HDC dc, int points, int weight);
  ~UiFont();
  UiFont(const UiFont&) = delete;
  UiFont& operator=(const UiFont&) = delete;

  [[nodiscard]] HFONT Handle() const { return font_; }

 private:
  HFONT font_;
};

}  // namespace monitor::win32
