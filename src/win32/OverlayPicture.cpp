#include "win32/OverlayPicture.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <iterator>
#include <string_view>

#include "macros/RecordOverlay.h"
#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"

namespace monitor::win32 {
namespace {

constexpr int kMargin = 5;
constexpr int kPanelRadius = 10;
constexpr double kPanelAlpha = 0.78;
constexpr std::uint8_t kPanelGrey = 0x1E;
constexpr int kDotLeft = kDotTopLeft.x;
constexpr int kDotTop = kDotTopLeft.y;
// The label's part on the left; the lines fill the rest of the panel.
constexpr RECT kLabelPart{kDotLeft, kMargin, 150, kOverlayHeight - kMargin};
constexpr RECT kLinesPart{150, kMargin + 3, kOverlayWidth - kMargin - 8, kOverlayHeight - kMargin - 3};
constexpr int kLabelPoints = 14;
constexpr int kLinePoints = 12;
// The window has a fixed size in pixels, so its texts are sized for the
// standard 96 pixels per inch, whatever the screen's setting.
constexpr int kPixelsPerInch = 96;

// The dot blinks from transparent grey to opaque red #FC0808.
struct Colour {
  double red, green, blue, alpha;  // straight, 0 to 1
};
constexpr Colour kDotOff{0x80 / 255.0, 0x80 / 255.0, 0x80 / 255.0, 0};
constexpr Colour kDotOn{0xFC / 255.0, 0x08 / 255.0, 0x08 / 255.0, 1};
constexpr Colour kText{1, 1, 1, 1};

// The faces Windows has for Chinese text, in order of preference.
constexpr const wchar_t* kChineseFaces[] = {L"Microsoft YaHei", L"SimSun"};
// The face must draw both the label's letters and the Chinese lines: some
// Chinese fonts lack Latin letters.
constexpr std::wstring_view kGlyphSample = L"Recording...0123456789ms\u9f20\u6807\u5de6\u952e\u5f55\u5236";

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM faces) {
  // Faces beginning with '@' are the same fonts set for vertical text.
  if (font->lfFaceName[0] != L'@') {
    reinterpret_cast<std::vector<std::wstring>*>(faces)->emplace_back(font->lfFaceName);
  }
  return 1;
}

LOGFONTW FontOfFace(const std::wstring& face) {
  LOGFONTW font{};
  font.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return font;
}

bool HasEveryGlyph(HDC dc, const std::wstring& face) {
  const LOGFONTW wanted = FontOfFace(face);
  const UniqueResource<HFONT, &DeleteObject> font(CreateFontIndirectW(&wanted));
  if (!font) {
    return false;
  }
  const HGDIOBJ previous = SelectObject(dc, font.get());
  std::vector<WORD> glyphs(kGlyphSample.size());
  const DWORD found = GetGlyphIndicesW(dc, kGlyphSample.data(), static_cast<int>(kGlyphSample.size()),
                                       glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, previous);
  return found != GDI_ERROR && std::find(glyphs.begin(), glyphs.end(), WORD{0xFFFF}) == glyphs.end();
}

// A preferred Chinese face where one is installed, else any face with
// Chinese glyphs and Latin letters (under Wine, whatever the system has),
// else the default GUI font's face, which Windows links to a Chinese font
// by itself.
std::wstring ChooseFace(HDC dc) {
  LOGFONTW wanted{};
  wanted.lfCharSet = GB2312_CHARSET;
  std::vector<std::wstring> candidates(std::begin(kChineseFaces), std::end(kChineseFaces));
  EnumFontFamiliesExW(dc, &wanted, &CollectFace, reinterpret_cast<LPARAM>(&candidates), 0);
  for (const std::wstring& face : candidates) {
    if (HasEveryGlyph(dc, face)) {
      return face;
    }
  }
  LOGFONTW guiFont{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof guiFont, &guiFont);
  return guiFont.lfFaceName;
}

// Grey-scale smoothing, not ClearType: the text's coverage is then the
// same in every colour channel and can be used as its alpha.
HFONT CreateTextFont(const std::wstring& face, int points, LONG weight) {
  LOGFONTW font = FontOfFace(face);
  font.lfHeight = -MulDiv(points, kPixelsPerInch, 72);
  font.lfWeight = weight;
  font.lfQuality = ANTIALIASED_QUALITY;
  HFONT created = CreateFontIndirectW(&font);
  if (created == nullptr) {
    throw PlatformError("cannot create the overlay's font", GetLastError());
  }
  return created;
}

// How much of the pixel at (x, y) a rectangle with rounded corners covers,
// from 0 to 1, with a pixel's width of smoothing at the edge.
double RoundedRectangleCoverage(int x, int y, double left, double top, double right, double bottom,
                                double radius) {
  const double centreX = x + 0.5;
  const double centreY = y + 0.5;
  const double nearestX = std::clamp(centreX, left + radius, right - radius);
  const double nearestY = std::clamp(centreY, top + radius, bottom - radius);
  const double distance = std::hypot(centreX - nearestX, centreY - nearestY);
  return std::clamp(radius - distance + 0.5, 0.0, 1.0);
}

std::uint32_t Channel(double value) { return static_cast<std::uint32_t>(std::lround(value * 255.0)); }

// A premultiplied pixel from a straight colour seen through `coverage`.
std::uint32_t Premultiplied(const Colour& colour, double coverage) {
  const double alpha = colour.alpha * coverage;
  return Channel(alpha) << 24 | Channel(colour.red * alpha) << 16 | Channel(colour.green * alpha) << 8 |
         Channel(colour.blue * alpha);
}

// `top` over `bottom`, both premultiplied.
std::uint32_t Over(std::uint32_t top, std::uint32_t bottom) {
  const std::uint32_t keep = 255 - (top >> 24);
  std::uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t channel = ((top >> shift) & 0xFF) + (((bottom >> shift) & 0xFF) * keep + 127) / 255;
    result |= std::min<std::uint32_t>(channel, 255) << shift;
  }
  return result;
}

// The last lines that fit in the list, top to bottom.
std::vector<std::wstring> VisibleLines(const std::vector<std::u16string>& lines, int lineHeight) {
  const auto fitting = static_cast<std::size_t>((kLinesPart.bottom - kLinesPart.top) / lineHeight);
  const std::size_t first = lines.size() > fitting ? lines.size() - fitting : 0;
  std::vector<std::wstring> visible;
  for (std::size_t i = first; i < lines.size(); ++i) {
    visible.push_back(ToWide(lines[i]));
  }
  return visible;
}

}  // namespace

OverlayPicture::OverlayPicture() : panel_(static_cast<std::size_t>(kOverlayWidth * kOverlayHeight)) {
  dc_.reset(CreateCompatibleDC(nullptr));
  if (!dc_) {
    throw PlatformError("cannot create the overlay's drawing context", GetLastError());
  }
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = kOverlayWidth;
  format.bmiHeader.biHeight = -kOverlayHeight;  // rows from the top
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(dc_.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_) {
    throw PlatformError("cannot create the overlay's bitmap", GetLastError());
  }
  bits_ = static_cast<std::uint32_t*>(bits);
  SelectObject(dc_.get(), bitmap_.get());

  face_ = ChooseFace(dc_.get());
  labelFont_.reset(CreateTextFont(face_, kLabelPoints, FW_BOLD));
  lineFont_.reset(CreateTextFont(face_, kLinePoints, FW_NORMAL));
}

std::span<const std::uint32_t> OverlayPicture::Pixels() const {
  return {bits_, static_cast<std::size_t>(kOverlayWidth * kOverlayHeight)};
}

// GDI draws the texts white on black, their coverage then lays them over the
// panel: GDI itself knows nothing of alpha.
void OverlayPicture::DrawPanel(std::u16string_view title, const std::vector<std::u16string>& lines) {
  HDC dc = dc_.get();
  std::fill_n(bits_, panel_.size(), 0u);
  GdiFlush();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));

  SelectObject(dc, labelFont_.get());
  RECT label = kLabelPart;
  const std::wstring labelText = ToWide(title);
  DrawTextW(dc, labelText.c_str(), static_cast<int>(labelText.size()), &label,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);

  SelectObject(dc, lineFont_.get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int lineHeight = std::max<int>(1, metrics.tmHeight + metrics.tmExternalLeading);
  RECT line = kLinesPart;
  for (const std::wstring& text : VisibleLines(lines, lineHeight)) {
    line.bottom = line.top + lineHeight;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line,
              DT_SINGLELINE | DT_CENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    line.top = line.bottom;
  }
  GdiFlush();

  const Colour panel{kPanelGrey / 255.0, kPanelGrey / 255.0, kPanelGrey / 255.0, kPanelAlpha};
  for (int y = 0; y < kOverlayHeight; ++y) {
    for (int x = 0; x < kOverlayWidth; ++x) {
      const std::size_t at = static_cast<std::size_t>(y * kOverlayWidth + x);
      const std::uint32_t drawn = bits_[at];
      const std::uint32_t brightest = std::max({drawn >> 16 & 0xFF, drawn >> 8 & 0xFF, drawn & 0xFF});
      const double cover = RoundedRectangleCoverage(x, y, kMargin, kMargin, kOverlayWidth - kMargin,
                                                    kOverlayHeight - kMargin, kPanelRadius);
      panel_[at] = Over(Premultiplied(kText, brightest / 255.0 * cover), Premultiplied(panel, cover));
    }
  }
  std::copy(panel_.begin(), panel_.end(), bits_);
}

void OverlayPicture::DrawDot(double level) {
  const double shown = std::clamp(level, 0.0, 1.0);
  const Colour dot{kDotOff.red + (kDotOn.red - kDotOff.red) * shown,
                   kDotOff.green + (kDotOn.green - kDotOff.green) * shown,
                   kDotOff.blue + (kDotOn.blue - kDotOff.blue) * shown,
                   kDotOff.alpha + (kDotOn.alpha - kDotOff.alpha) * shown};
  GdiFlush();
  std::copy(panel_.begin(), panel_.end(), bits_);
  constexpr double kRadius = kDotSize / 2.0;
  for (int y = kDotTop; y < kDotTop + kDotSize; ++y) {
    for (int x = kDotLeft; x < kDotLeft + kDotSize; ++x) {
      const double cover =
          RoundedRectangleCoverage(x, y, kDotLeft, kDotTop, kDotLeft + kDotSize, kDotTop + kDotSize, kRadius);
      const std::size_t at = static_cast<std::size_t>(y * kOverlayWidth + x);
      bits_[at] = Over(Premultiplied(dot, cover), panel_[at]);
    }
  }
}

}  // namespace monitor::win32
