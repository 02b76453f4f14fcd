// The binary contract between the hook library "xaHook.dll" and the program
// that loads it: the four entry points, looked up by name, and the callback
// they are given. Both sides include this header, so the calling
// conventions and argument types cannot drift apart; on i686 they are
// __stdcall, and the entry points are exported under their plain names.
#pragma once

#include <windows.h>

namespace monitor::win32 {

inline constexpr wchar_t kHookLibraryFileName[] = L"xaHook.dll";

// Called on the thread that enabled the hook, for each event with hook code
// HC_ACTION: the code, the window message (WM_KEYDOWN family or a mouse
// message), the system's KBDLLHOOKSTRUCT or MSLLHOOKSTRUCT, valid during the
// call only, and Blocked, FALSE on entry: TRUE swallows the event.
using HookCallback = void(__stdcall*)(void* userData, int code, WPARAM message, const void* event,
                                      BOOL* blocked);

// Installs the low-level hook of its kind for the calling thread, which must
// pump messages, replacing an earlier one; `reserved` is 0. FALSE when the
// system refused the hook.
using EnableHookEntry = BOOL(__stdcall*)(HookCallback callback, void* userData, DWORD reserved);
// Removes it; harmless when there is none.
using DisableHookEntry = void(__stdcall*)();

inline constexpr char kEnableKeyboardHookName[] = "EnableKeyboardHook";
inline constexpr char kDisableKeyboardHookName[] = "DisableKeyboardHook";
inline constexpr char kEnableMouseHookName[] = "EnableMouseHook";
inline constexpr char kDisableMouseHookName[] = "DisableMouseHook";

}  // namespace monitor::win32
