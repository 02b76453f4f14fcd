#include "win32/TestWindow.h"

#include "platform/PlatformError.h"

namespace monitor::win32 {
namespace {

constexpr wchar_t kClassName[] = L"MonitorTestWindow";

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_LBUTTONDOWN && message <= WM_MOUSELAST);
}

}  // namespace

TestWindow::TestWindow(RECT place, const std::wstring& title) : place_(place) {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &WindowProcedure;
  windowClass.hInstance = module;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kClassName;
  RegisterWindowClass(windowClass);
  window_.reset(CreateWindowExW(0, kClassName, title.c_str(), WS_POPUP, place.left, place.top,
                                place.right - place.left, place.bottom - place.top, nullptr, nullptr, module,
                                nullptr));
  if (!window_) {
    throw PlatformError("cannot create the test window", GetLastError());
  }
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(window_.get(), SW_SHOW);
  UpdateWindow(window_.get());
  SetForegroundWindow(window_.get());
}

POINT TestWindow::Centre() const {
  return {(place_.left + place_.right) / 2, (place_.top + place_.bottom) / 2};
}

std::vector<UINT> TestWindow::ReceivedMessages() const {
  std::vector<UINT> messages;
  for (const ReceivedInput& input : received_) {
    messages.push_back(input.message);
  }
  return messages;
}

LRESULT CALLBACK TestWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept {
  auto* const self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr && IsInput(message)) {
    self->received_.push_back({message, wParam, lParam});
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace monitor::win32
