#include "win32/UiFont.h"

#include <string>

namespace monitor::win32 {
namespace {

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool HasFace(HDC dc, const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExW(dc, &wanted, &NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// The first face the system has, chosen once: Windows' own Chinese UI faces,
// then common free ones (what Wine finds through fontconfig).
const wchar_t* Face(HDC dc) {
  static const wchar_t* const chosen = [dc] {
    for (const wchar_t* face : {L"Microsoft YaHei UI", L"Microsoft YaHei", L"WenQuanYi Micro Hei",
                                L"Noto Sans CJK SC", L"Droid Sans Fallback", L"Segoe UI", L"Tahoma"}) {
      if (HasFace(dc, face)) {
        return face;
      }
    }
    return L"MS Shell Dlg 2";
  }();
  return chosen;
}

}  // namespace

UiFont::UiFont(HDC dc, int points, int weight) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(font.lfFaceName, Face(dc), LF_FACESIZE);
  font_ = CreateFontIndirectW(&font);
}

UiFont::~UiFont() { DeleteObject(font_); }

}  // namespace monitor::win32
