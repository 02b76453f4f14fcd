// A window that is never shown, for the adapters that receive their events
// as window messages. The adapter object it serves rides in its user data.
#pragma once

#include <windows.h>

#include "platform/win32/UniqueResource.h"

namespace monitor::win32 {

// Destroyed on the thread that created it, as Windows requires.
using UniqueWindow = UniqueResource<HWND, &DestroyWindow>;

enum class HiddenWindowKind {
  MessageOnly,  // posted and sent messages and timers; no system broadcasts
  TopLevel,     // also the broadcasts the system sends to every top-level window
};

// Registers a window class of this module on first use; later calls find
// it registered. Throws PlatformError when the system refuses.
void RegisterWindowClass(const WNDCLASSEXW& windowClass);

// Creates the window on the calling thread, registering its class on first
// use; its procedure finds `owner` through HiddenWindowOwner. Throws
// PlatformError when the window cannot be created.
UniqueWindow CreateHiddenWindow(const wchar_t* className, WNDPROC procedure, HiddenWindowKind kind,
                                void* owner);

// The owner given at creation; null while the window is still being created.
template <class Owner>
Owner* HiddenWindowOwner(HWND window) {
  return reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace monitor::win32
