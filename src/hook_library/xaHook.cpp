// The hook library "xaHook.dll": one system-wide low-level keyboard hook and
// one mouse hook, each handing every event to the callback it was enabled
// with. The hooks are low-level ones, so the system calls them on the
// thread that installed them and the library is never loaded into another
// process: plain globals are enough.
#include <windows.h>

#include <type_traits>

#include "platform/win32/HookLibraryAbi.h"

namespace {

using monitor::win32::HookCallback;

struct InstalledHook {
  HHOOK handle = nullptr;
  HookCallback callback = nullptr;
  void* userData = nullptr;
};

HINSTANCE libraryInstance = nullptr;
InstalledHook keyboardHook;
InstalledHook mouseHook;

// The callback sees only what it can act on; everything else, and what it
// does not block, goes on to the next hook. Hooks must stay fast: the system
// drops one that answers too slowly.
LRESULT Forward(const InstalledHook& hook, int code, WPARAM message, LPARAM event) {
  if (code == HC_ACTION && hook.callback != nullptr) {
    BOOL blocked = FALSE;
    hook.callback(hook.userData, code, message, reinterpret_cast<const void*>(event), &blocked);
    if (blocked) {
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, message, event);
}

LRESULT CALLBACK KeyboardProcedure(int code, WPARAM message, LPARAM event) {
  return Forward(keyboardHook, code, message, event);
}

LRESULT CALLBACK MouseProcedure(int code, WPARAM message, LPARAM event) {
  return Forward(mouseHook, code, message, event);
}

void Remove(InstalledHook& hook) {
  if (hook.handle != nullptr) {
    UnhookWindowsHookEx(hook.handle);
  }
  hook = InstalledHook{};
}

BOOL Install(InstalledHook& hook, int kind, HOOKPROC procedure, HookCallback callback, void* userData) {
  Remove(hook);
  hook.callback = callback;
  hook.userData = userData;
  hook.handle = SetWindowsHookExW(kind, procedure, libraryInstance, 0);
  if (hook.handle == nullptr) {
    hook = InstalledHook{};
    return FALSE;
  }
  return TRUE;
}

}  // namespace

extern "C" {

// The third argument is reserved: 0.
__declspec(dllexport) BOOL __stdcall EnableKeyboardHook(HookCallback callback, void* userData, DWORD) {
  return Install(keyboardHook, WH_KEYBOARD_LL, &KeyboardProcedure, callback, userData);
}

__declspec(dllexport) void __stdcall DisableKeyboardHook() { Remove(keyboardHook); }

__declspec(dllexport) BOOL __stdcall EnableMouseHook(HookCallback callback, void* userData, DWORD) {
  return Install(mouseHook, WH_MOUSE_LL, &MouseProcedure, callback, userData);
}

__declspec(dllexport) void __stdcall DisableMouseHook() { Remove(mouseHook); }

// A library freed while a hook is still in place would leave the system
// calling code that is gone, so unloading removes the hooks. At process exit
// (reserved is then not null) the system cleans up by itself.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    libraryInstance = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    Remove(keyboardHook);
    Remove(mouseHook);
  }
  return TRUE;
}

}  // extern "C"

// The exports have exactly the types the loader looks them up as.
static_assert(std::is_same_v<decltype(&EnableKeyboardHook), monitor::win32::EnableHookEntry>);
static_assert(std::is_same_v<decltype(&EnableMouseHook), monitor::win32::EnableHookEntry>);
static_assert(std::is_same_v<decltype(&DisableKeyboardHook), monitor::win32::DisableHookEntry>);
static_assert(std::is_same_v<decltype(&DisableMouseHook), monitor::win32::DisableHookEntry>);
