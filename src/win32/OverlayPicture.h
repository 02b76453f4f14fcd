// The picture of the "Recording..." overlay: a dark, semi-transparent
// rounded panel with a 5-pixel margin, the blinking dot at its top left,
// "Recording..." in the left part and the captured actions, one centred
// line each, in the right part. Drawn with GDI into a 32-bit bitmap whose
// colours are premultiplied by their alpha, as UpdateLayeredWindow takes it;
// outside the panel the picture is fully transparent.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/UniqueResource.h"

namespace monitor::win32 {

// The dot's square, in the picture's pixels: at the panel's top left.
inline constexpr int kDotSize = 15;
inline constexpr POINT kDotTopLeft{15, 15};

class OverlayPicture {
 public:
  // Throws PlatformError when the system refuses a bitmap or a font.
  OverlayPicture();

  // Draws the panel with its title and the last lines that fit; lines too
  // long for the list end in an ellipsis, none wraps.
  void DrawPanel(std::u16string_view title, const std::vector<std::u16string>& lines);
  // Puts the dot on the drawn panel at `level`, from 0 (transparent grey)
  // to 1 (opaque red).
  void DrawDot(double level);

  // Holds the picture, for UpdateLayeredWindow.
  [[nodiscard]] HDC DeviceContext() const { return dc_.get(); }
  // Its pixels row by row from the top, 0xAARRGGBB with premultiplied colours.
  [[nodiscard]] std::span<const std::uint32_t> Pixels() const;
  // The face of its texts: one with Chinese glyphs where there is one.
  [[nodiscard]] const std::wstring& FontFace() const { return face_; }

 private:
  std::wstring face_;
  UniqueResource<HFONT, &DeleteObject> labelFont_;
  UniqueResource<HFONT, &DeleteObject> lineFont_;
  std::uint32_t* bits_ = nullptr;  // the bitmap's pixels
  UniqueResource<HBITMAP, &DeleteObject> bitmap_;
  // After the bitmap, so that it goes first, before the bitmap selected into it.
  UniqueResource<HDC, &DeleteDC> dc_;
  std::vector<std::uint32_t> panel_;  // the panel with its texts, without the dot
};

}  // namespace monitor::win32
