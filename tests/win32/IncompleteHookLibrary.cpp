// A hook library that lacks one of the four entry points, "DisableMouseHook":
// the loader must refuse it whole and leave it unloaded.
#include <windows.h>

#include "platform/win32/HookLibraryAbi.h"

extern "C" {

__declspec(dllexport) BOOL __stdcall EnableKeyboardHook(monitor::win32::HookCallback, void*, DWORD) {
  return FALSE;
}

__declspec(dllexport) void __stdcall DisableKeyboardHook() {}

__declspec(dllexport) BOOL __stdcall EnableMouseHook(monitor::win32::HookCallback, void*, DWORD) {
  return FALSE;
}

}  // extern "C"
