#include "platform/win32/HiddenWindow.h"

#include "platform/PlatformError.h"

namespace monitor::win32 {

void RegisterWindowClass(const WNDCLASSEXW& windowClass) {
  // Every instance after the first finds its class registered already.
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw PlatformError("cannot register a window class", GetLastError());
  }
}

UniqueWindow CreateHiddenWindow(const wchar_t* className, WNDPROC procedure, HiddenWindowKind kind,
                                void* owner) {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = module;
  windowClass.lpszClassName = className;
  RegisterWindowClass(windowClass);

  // A top-level window that is never shown and is a tool window has no
  // taskbar button, even if something shows it.
  const bool topLevel = kind == HiddenWindowKind::TopLevel;
  UniqueWindow window(CreateWindowExW(topLevel ? WS_EX_TOOLWINDOW : 0, className, L"",
                                      topLevel ? WS_POPUP : 0, 0, 0, 0, 0, topLevel ? nullptr : HWND_MESSAGE,
                                      nullptr, module, nullptr));
  if (!window) {
    throw PlatformError("cannot create a hidden window", GetLastError());
  }
  SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  return window;
}

}  // namespace monitor::win32
