#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "i18n/ActiveTranslation.h"
#include "i18n/EmbeddedTable.h"
#include "i18n/TranslationTable.h"
#include "macros/RecordOverlay.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32MainLoop.h"
#include "platform/win32/Win32Screen.h"
#include "win32/LinuxCommand.h"
#include "win32/MessagePump.h"
#include "win32/OverlayPicture.h"
#include "win32/ScratchFolder.h"
#include "win32/TestWindow.h"
#include "win32/Win32OverlayWindow.h"

namespace monitor::win32 {
namespace {

using namespace std::chrono_literals;

constexpr POINT kPlace{120, 240};
constexpr std::chrono::milliseconds kSettle = 300ms;

std::uint32_t Alpha(std::uint32_t pixel) { return pixel >> 24; }

std::uint32_t PixelAt(std::span<const std::uint32_t> pixels, int x, int y) {
  return pixels[static_cast<std::size_t>(y * kOverlayWidth + x)];
}

std::vector<std::u16string> NumberedLines(int count) {
  std::vector<std::u16string> lines;
  for (int i = 1; i <= count; ++i) {
    lines.push_back(u"Line " + FromWide(std::to_wstring(i)));
  }
  return lines;
}

// ---- The window ----

class Win32OverlayWindowTest : public ::testing::Test {
 protected:
  Win32MainLoop loop_;
  TestWindow front_{{600, 500, 900, 700}};
  Win32OverlayWindow overlay_;
};

TEST_F(Win32OverlayWindowTest, ShowsABorderlessLayeredTopmostToolWindowInPlaceWithoutTakingTheFocus) {
  ASSERT_TRUE(PumpUntil(loop_, [&] { return GetForegroundWindow() == front_.Handle(); }));
  overlay_.Show(kPlace.x, kPlace.y, u"Recording...");
  const HWND window = overlay_.Window();
  ASSERT_NE(window, nullptr);
  PumpFor(loop_, kSettle);

  RECT place{};
  GetWindowRect(window, &place);
  EXPECT_EQ(place.left, kPlace.x);
  EXPECT_EQ(place.top, kPlace.y);
  EXPECT_EQ(place.right - place.left, 372);
  EXPECT_EQ(place.bottom - place.top, 100);
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  EXPECT_EQ(std::wstring(caption), L"FrmRecord");

  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const auto extended = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  EXPECT_NE(style & WS_POPUP, 0u);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0u) << "no frame";
  EXPECT_NE(extended & WS_EX_LAYERED, 0u);
  EXPECT_NE(extended & WS_EX_TOPMOST, 0u);
  // A tool window without an owner has no taskbar button.
  EXPECT_NE(extended & WS_EX_TOOLWINDOW, 0u);
  EXPECT_EQ(extended & WS_EX_APPWINDOW, 0u);
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetForegroundWindow(), front_.Handle()) << "showing took the focus";

  overlay_.Close();
  EXPECT_EQ(overlay_.Window(), nullptr);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(Win32OverlayWindowTest, WithoutAWindowEveryOperationButShowDoesNothing) {
  overlay_.AddLine(u"Mouse ClickDown");
  overlay_.BringToTop();
  overlay_.Close();
  overlay_.Close();
  EXPECT_EQ(overlay_.Window(), nullptr);
  EXPECT_EQ(GetForegroundWindow(), front_.Handle());
}

// Whatever took its place meanwhile: hidden, no longer topmost, another
// window in front.
TEST_F(Win32OverlayWindowTest, BringToTopShowsItTopmostWithTheFocusWhereItIs) {
  overlay_.Show(kPlace.x, kPlace.y, u"Recording...");
  const HWND window = overlay_.Window();
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  SetForegroundWindow(front_.Handle());
  PumpFor(loop_, kSettle);
  ASSERT_FALSE(IsWindowVisible(window));
  ASSERT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  ASSERT_EQ(GetForegroundWindow(), front_.Handle());

  overlay_.BringToTop();
  PumpFor(loop_, kSettle);
  EXPECT_EQ(GetForegroundWindow(), window);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  RECT place{};
  GetWindowRect(window, &place);
  EXPECT_EQ(place.left, kPlace.x) << "moved";
  EXPECT_EQ(place.top, kPlace.y) << "moved";
  EXPECT_EQ(place.right - place.left, 372) << "resized";
  EXPECT_EQ(place.bottom - place.top, 100) << "resized";
}

// The window's timer makes the dot go from transparent to opaque red and back.
TEST_F(Win32OverlayWindowTest, TheDotBlinks) {
  overlay_.Show(kPlace.x, kPlace.y, u"Recording...");
  std::uint32_t faintest = 255;
  std::uint32_t strongest = 0;
  const auto lastsUntil = std::chrono::steady_clock::now() + 1s;
  PumpUntil(loop_, [&] {
    const std::uint32_t centre =
        PixelAt(overlay_.Picture()->Pixels(), kDotTopLeft.x + kDotSize / 2, kDotTopLeft.y + kDotSize / 2);
    const std::uint32_t red = (centre >> 16) & 0xFF;
    faintest = std::min(faintest, red);
    strongest = std::max(strongest, red);
    return std::chrono::steady_clock::now() > lastsUntil;
  });
  EXPECT_GE(strongest, 0xC0u);
  EXPECT_LE(faintest, 0x60u);
}

// A new window starts with an empty list.
TEST_F(Win32OverlayWindowTest, ShowingAgainStartsAnEmptyList) {
  overlay_.Show(kPlace.x, kPlace.y, u"Recording...");
  OverlayPicture empty;
  empty.DrawPanel(u"Recording...", {});
  std::vector<std::uint32_t> emptyPixels(empty.Pixels().begin(), empty.Pixels().end());

  overlay_.AddLine(u"Mouse ClickDown");
  overlay_.Show(kPlace.x, kPlace.y, u"Recording...");
  // Compared without the blinking dot's square.
  const auto pixels = overlay_.Picture()->Pixels();
  int different = 0;
  for (int y = 0; y < kOverlayHeight; ++y) {
    for (int x = kDotTopLeft.x + kDotSize; x < kOverlayWidth; ++x) {
      different += PixelAt(pixels, x, y) != PixelAt(emptyPixels, x, y) ? 1 : 0;
    }
  }
  EXPECT_EQ(different, 0);
}

// ---- The picture ----

class OverlayPictureTest : public ::testing::Test {
 protected:
  std::vector<std::uint32_t> Draw(const std::vector<std::u16string>& lines, double dot = 0) {
    picture_.DrawPanel(u"Recording...", lines);
    picture_.DrawDot(dot);
    return {picture_.Pixels().begin(), picture_.Pixels().end()};
  }

  OverlayPicture picture_;
};

TEST_F(OverlayPictureTest, ADarkSemiTransparentRoundedPanelOnATransparentBackground) {
  const std::vector<std::uint32_t> pixels = Draw(NumberedLines(3));
  struct Spot {
    const char* name;
    int x, y;
    bool panel;
  };
  const Spot spots[] = {
      {"window corner", 0, 0, false},     {"left margin", 2, 50, false},
      {"bottom margin", 200, 97, false},  {"panel's rounded corner", 5, 5, false},
      {"panel's left edge", 7, 50, true}, {"panel's bottom right", 360, 90, true},
  };
  for (const Spot& spot : spots) {
    SCOPED_TRACE(spot.name);
    const std::uint32_t pixel = PixelAt(pixels, spot.x, spot.y);
    if (!spot.panel) {
      EXPECT_EQ(pixel, 0u);
      continue;
    }
    EXPECT_GT(Alpha(pixel), 0x80u);
    EXPECT_LT(Alpha(pixel), 0xFFu) << "opaque";
    EXPECT_LT((pixel >> 16) & 0xFF, 0x30u) << "not dark";
  }
}

// Whatever the texts, nothing is drawn outside the panel: no line wraps or
// runs out of it.
TEST_F(OverlayPictureTest, LongLinesStayInsideThePanel) {
  const std::vector<std::uint32_t> pixels = Draw(
      {std::u16string(200, u'W'), u"\u9f20\u6807\u5de6\u952e\u6309\u4e0b" + std::u16string(100, u'M')}, 1);
  for (int y = 0; y < kOverlayHeight; ++y) {
    for (int x = 0; x < kOverlayWidth; ++x) {
      if (x < 5 || y < 5 || x >= kOverlayWidth - 5 || y >= kOverlayHeight - 5) {
        ASSERT_EQ(PixelAt(pixels, x, y), 0u) << "at " << x << "," << y;
      }
    }
  }
}

// The list shows its last lines: a line at the front of a full list is out
// of sight, a new line at its end is in sight.
TEST_F(OverlayPictureTest, TheLastLinesThatFitAreShown) {
  const std::vector<std::u16string> full = NumberedLines(20);
  std::vector<std::u16string> withAnOlderLine{u"An older line"};
  withAnOlderLine.insert(withAnOlderLine.end(), full.begin(), full.end());
  std::vector<std::u16string> withANewerLine = full;
  withANewerLine.push_back(u"The newest line");

  const std::vector<std::uint32_t> fullPixels = Draw(full);
  EXPECT_EQ(Draw(withAnOlderLine), fullPixels);
  EXPECT_NE(Draw(withANewerLine), fullPixels);
  EXPECT_NE(Draw(NumberedLines(1)), Draw({})) << "a single line shows";
}

// Level 0 leaves the panel as it is; level 1 is the opaque red dot in its square.
TEST_F(OverlayPictureTest, TheDotGoesFromTransparentGreyToOpaqueRed) {
  picture_.DrawPanel(u"Recording...", {});
  const std::vector<std::uint32_t> panel(picture_.Pixels().begin(), picture_.Pixels().end());
  EXPECT_EQ(Draw({}, 0), panel);

  const std::vector<std::uint32_t> lit = Draw({}, 1);
  const int centreX = kDotTopLeft.x + kDotSize / 2;
  const int centreY = kDotTopLeft.y + kDotSize / 2;
  EXPECT_EQ(PixelAt(lit, centreX, centreY), 0xFFFC0808u);
  for (int y = 0; y < kOverlayHeight; ++y) {
    for (int x = 0; x < kOverlayWidth; ++x) {
      const bool inSquare = x >= kDotTopLeft.x && x < kDotTopLeft.x + kDotSize && y >= kDotTopLeft.y &&
                            y < kDotTopLeft.y + kDotSize;
      if (!inSquare) {
        ASSERT_EQ(PixelAt(lit, x, y), PixelAt(panel, x, y)) << "at " << x << "," << y;
      }
    }
  }
  const std::uint32_t half = PixelAt(Draw({}, 0.5), centreX, centreY);
  EXPECT_GT(Alpha(half), Alpha(PixelAt(panel, centreX, centreY)));
  EXPECT_LT(Alpha(half), 0xFFu);
}

// Some Chinese fonts have no Latin letters, and the label is English.
TEST_F(OverlayPictureTest, TheTextsFaceHasChineseGlyphsAndLatinLetters) {
  const std::wstring chinese = L"Recording... 350ms \u9f20\u6807\u5de6\u952e\u6309\u4e0b\u6beb\u79d2";
  LOGFONTW wanted{};
  wcsncpy(wanted.lfFaceName, picture_.FontFace().c_str(), LF_FACESIZE - 1);
  const UniqueResource<HFONT, &DeleteObject> font(CreateFontIndirectW(&wanted));
  HDC dc = picture_.DeviceContext();
  const HGDIOBJ previous = SelectObject(dc, font.get());
  std::vector<WORD> glyphs(chinese.size());
  GetGlyphIndicesW(dc, chinese.c_str(), static_cast<int>(chinese.size()), glyphs.data(),
                   GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, previous);
  EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), WORD{0xFFFF}), 0)
      << "face " << std::string(picture_.FontFace().begin(), picture_.FontFace().end());
}

// ---- On the screen ----

// An 8-bit binary PPM, as ImageMagick writes it.
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;

  [[nodiscard]] std::uint32_t At(int x, int y) const {
    const std::size_t at = static_cast<std::size_t>((y * width + x) * 3);
    return std::uint32_t{rgb[at]} << 16 | std::uint32_t{rgb[at + 1]} << 8 | rgb[at + 2];
  }
};

std::optional<Screenshot> ReadPpm(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  std::string magic;
  Screenshot shot;
  int maximum = 0;
  file >> magic >> shot.width >> shot.height >> maximum;
  file.get();
  if (magic != "P6" || maximum != 255 || shot.width <= 0 || shot.height <= 0) {
    return std::nullopt;
  }
  shot.rgb.resize(static_cast<std::size_t>(shot.width * shot.height * 3));
  file.read(reinterpret_cast<char*>(shot.rgb.data()), static_cast<std::streamsize>(shot.rgb.size()));
  return file ? std::optional<Screenshot>(shot) : std::nullopt;
}

bool IsWhite(std::uint32_t rgb) { return rgb == 0xFFFFFF; }
bool IsDark(std::uint32_t rgb) {
  return ((rgb >> 16) & 0xFF) < 0x60 && ((rgb >> 8) & 0xFF) < 0x60 && (rgb & 0xFF) < 0x60;
}
bool IsBright(std::uint32_t rgb) {
  return ((rgb >> 16) & 0xFF) > 0xC0 && ((rgb >> 8) & 0xFF) > 0xC0 && (rgb & 0xFF) > 0xC0;
}

// Where the pictures for people go: the build tree's screenshots folder
// that ctest names, else the scratch folder.
std::string ScreenshotFolder() {
  const char* named = std::getenv("MONITOR_SCREENSHOT_FOLDER");
  return named != nullptr ? std::string(named) : LinuxPath(ToWide(ScratchFolder()));
}

struct ScreenCase {
  const char* name;
  int language;  // its position in the built-in translation table
};

void PrintTo(const ScreenCase& screen, std::ostream* out) { *out << screen.name; }

// The overlay as the recorder shows it, with the lines of a short recording
// in one language, over a white window: a PNG for people to look at, and
// the checks that can be made on the screen's pixels.
class OverlayOnTheScreen : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(OverlayOnTheScreen, ShowsThePanelWithItsTextsAndLetsTheBackgroundThroughAroundIt) {
  TranslationTable table;
  ASSERT_TRUE(table.ReadLayout(EmbeddedTableLayout()));
  ActiveTranslation translation;
  translation.Activate(table.Resources.at(static_cast<std::size_t>(GetParam().language)));
  Win32MainLoop loop;
  Win32Screen screen;
  Win32OverlayWindow window;
  const OverlayPlace place = OverlayPlaceOn(screen.PrimaryScreenSize());
  constexpr int kBorder = 10;
  const TestWindow background({place.left - 2 * kBorder, place.top - 2 * kBorder,
                               place.left + kOverlayWidth + 2 * kBorder,
                               place.top + kOverlayHeight + 2 * kBorder});
  {
    TFrmRecord record(window, screen, loop, translation.Lookup());
    record.Show();
    record.AddRecordLine(1, 1, 1);     // left button down
    record.AddRecordLine(6, 94, 1);    // 350 ms
    record.AddRecordLine(1, 0, 1);     // left button up
    record.AddRecordLine(3, 0xFF, 6);  // wheel towards the user
    record.AddRecordLine(3, 0x01, 7);  // wheel away from the user
    PumpFor(loop, kSettle);

    const std::string crop = std::to_string(kOverlayWidth + 2 * kBorder) + "x" +
                             std::to_string(kOverlayHeight + 2 * kBorder) + "+" +
                             std::to_string(place.left - kBorder) + "+" + std::to_string(place.top - kBorder);
    const std::wstring ppm = ToWide(ScratchFolder()) + L"\\overlay.ppm";
    const std::string png = ScreenshotFolder() + "/overlay-" + GetParam().name + ".png";
    const std::optional<LinuxCommandResult> shot =
        RunLinuxCommand(loop, "mkdir -p '" + ScreenshotFolder() + "' && import -window root -crop " + crop +
                                  " +repage '" + png + "' && import -window root -crop " + crop +
                                  " +repage -depth 8 ppm:'" + LinuxPath(ppm) + "'");
    ASSERT_TRUE(shot.has_value());
    ASSERT_EQ(shot->exitCode, 0) << shot->output;
    const std::optional<Screenshot> pixels = ReadPpm(ppm);
    ASSERT_TRUE(pixels.has_value());

    // Around the panel and in its rounded corners, the white window behind.
    EXPECT_TRUE(IsWhite(pixels->At(kBorder / 2, kBorder / 2)));
    EXPECT_TRUE(IsWhite(pixels->At(kBorder, kBorder))) << "the window's corner";
    EXPECT_TRUE(IsWhite(pixels->At(kBorder + 2, kBorder + 50))) << "the margin";
    EXPECT_TRUE(IsDark(pixels->At(kBorder + 8, kBorder + 90))) << "the panel";
    // Light text in both parts of the panel; the lines' part begins 150
    // pixels from the window's left.
    constexpr int kLinesLeft = kBorder + 150;
    int labelPixels = 0;
    int linePixels = 0;
    for (int y = kBorder + 5; y < kBorder + kOverlayHeight - 5; ++y) {
      for (int x = kBorder + 5; x < kBorder + kOverlayWidth - 5; ++x) {
        if (IsBright(pixels->At(x, y))) {
          (x < kLinesLeft ? labelPixels : linePixels) += 1;
        }
      }
    }
    EXPECT_GT(labelPixels, 50) << "no \"Recording...\"";
    EXPECT_GT(linePixels, 100) << "no lines";
    DeleteFileW(ppm.c_str());
  }
  EXPECT_EQ(window.Window(), nullptr) << "the recorder closes its overlay";
}

INSTANTIATE_TEST_SUITE_P(Windows, OverlayOnTheScreen,
                         ::testing::Values(ScreenCase{"chinese", 0}, ScreenCase{"english", 1}),
                         [](const ::testing::TestParamInfo<ScreenCase>& screen) {
                           return std::string(screen.param.name);
                         });

}  // namespace
}  // namespace monitor::win32
