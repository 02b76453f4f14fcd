#include "win32/Win32OverlayWindow.h"

#include <string>

#include "macros/RecordOverlay.h"
#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"

namespace monitor::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TFrmRecord";
constexpr UINT_PTR kBlinkTimer = 1;
// Short steps, so that the dot's colour changes smoothly.
constexpr UINT kBlinkStepMs = 40;
// From transparent grey to opaque red takes this long, and as long back.
constexpr ULONGLONG kBlinkHalfPeriodMs = 200;

// 0 (transparent grey) rising to 1 (opaque red) and falling back, endlessly.
double DotLevel(ULONGLONG elapsedMs) {
  const double phase =
      static_cast<double>(elapsedMs % (2 * kBlinkHalfPeriodMs)) / static_cast<double>(kBlinkHalfPeriodMs);
  return phase <= 1.0 ? phase : 2.0 - phase;
}

}  // namespace

void Win32OverlayWindow::Show(int left, int top, std::u16string_view title) {
  Close();
  title_ = title;
  const HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &WindowProcedure;
  windowClass.hInstance = module;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  try {
    RegisterWindowClass(windowClass);
    picture_ = std::make_unique<OverlayPicture>();
  } catch (const PlatformError&) {
    Close();
    return;
  }
  const std::wstring caption = ToWide(kOverlayCaption);
  window_.reset(CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, caption.c_str(),
                                WS_POPUP, left, top, kOverlayWidth, kOverlayHeight, nullptr, nullptr, module,
                                nullptr));
  if (!window_) {
    Close();
    return;
  }
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  shownAt_ = GetTickCount64();
  picture_->DrawPanel(title_, lines_);
  const POINT place{left, top};
  Present(&place);
  ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
  SetTimer(window_.get(), kBlinkTimer, kBlinkStepMs, nullptr);
}

void Win32OverlayWindow::AddLine(std::u16string_view text) {
  if (!window_) {
    return;
  }
  lines_.emplace_back(text);
  picture_->DrawPanel(title_, lines_);
  Present(nullptr);
}

void Win32OverlayWindow::BringToTop() {
  if (!window_) {
    return;
  }
  SetForegroundWindow(window_.get());
  SetWindowPos(window_.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

// The window goes first: no message reaches it once its picture is gone.
void Win32OverlayWindow::Close() {
  window_.reset();
  picture_.reset();
  lines_.clear();
}

// Without a place the window stays where it is.
void Win32OverlayWindow::Present(const POINT* place) {
  picture_->DrawDot(DotLevel(GetTickCount64() - shownAt_));
  POINT origin{0, 0};
  SIZE size{kOverlayWidth, kOverlayHeight};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  POINT destination = place != nullptr ? *place : POINT{};
  UpdateLayeredWindow(window_.get(), nullptr, place != nullptr ? &destination : nullptr, &size,
                      picture_->DeviceContext(), &origin, 0, &blend, ULW_ALPHA);
}

LRESULT CALLBACK Win32OverlayWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                     LPARAM lParam) noexcept {
  auto* const self = reinterpret_cast<Win32OverlayWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr && message == WM_TIMER && wParam == kBlinkTimer) {
    self->Present(nullptr);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace monitor::win32
