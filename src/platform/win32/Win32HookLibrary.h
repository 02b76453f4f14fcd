// The input hook library port on our own "xaHook.dll", loaded from the
// executable's folder only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/InputHooks.h"
#include "platform/win32/HookLibraryAbi.h"
#include "platform/win32/UniqueResource.h"

namespace monitor::win32 {

// Lives on the thread that enables the hooks: the callbacks come there,
// while it pumps messages. A callback must not throw; an exception that
// escapes is dropped and the event goes on unblocked.
class Win32HookLibrary final : public InputHookLibrary {
 public:
  // `fileName`: the library in the executable's folder; tests name others.
  explicit Win32HookLibrary(std::wstring fileName = kHookLibraryFileName);
  ~Win32HookLibrary() override;
  Win32HookLibrary(const Win32HookLibrary&) = delete;
  Win32HookLibrary& operator=(const Win32HookLibrary&) = delete;

  Loading Load() override;
  // Removes the hooks first, so that none outlives the object it calls.
  void Unload() override;
  void EnableMouseHook(MouseHookCallback callback) override;
  void DisableMouseHook() override;
  void EnableKeyboardHook(KeyboardHookCallback callback) override;
  void DisableKeyboardHook() override;

 private:
  static void __stdcall MouseTrampoline(void* self, int code, WPARAM message, const void* event,
                                        BOOL* blocked);
  static void __stdcall KeyboardTrampoline(void* self, int code, WPARAM message, const void* event,
                                           BOOL* blocked);

  std::wstring fileName_;
  UniqueResource<HMODULE, &FreeLibrary> library_;
  EnableHookEntry enableKeyboard_ = nullptr;
  DisableHookEntry disableKeyboard_ = nullptr;
  EnableHookEntry enableMouse_ = nullptr;
  DisableHookEntry disableMouse_ = nullptr;
  // Shared, so that a callback that disables or replaces its own hook is
  // not destroyed while it runs.
  std::shared_ptr<const MouseHookCallback> mouseCallback_;
  std::shared_ptr<const KeyboardHookCallback> keyboardCallback_;
};

}  // namespace monitor::win32
