#include "platform/win32/Win32HookLibrary.h"

#include <utility>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32KnownFolders.h"

namespace monitor::win32 {
namespace {

// `void (*)()` converts to any function pointer without a warning.
template <class Entry>
Entry Find(HMODULE library, const char* name) {
  return reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// Hands the event to the callback, a copy of which stays alive even when the
// callback disables or replaces its own hook. An exception leaves the event
// unblocked: nothing may travel through the system's hook dispatch.
template <class Callback, class Event>
void Deliver(std::shared_ptr<const Callback> callback, int code, WPARAM message, const Event& event,
             BOOL* blocked) {
  if (!callback) {
    return;
  }
  bool block = false;
  try {
    (*callback)(code, static_cast<std::uint32_t>(message), event, block);
  } catch (...) {
    return;
  }
  *blocked = block ? TRUE : FALSE;
}

}  // namespace

Win32HookLibrary::Win32HookLibrary(std::wstring fileName) : fileName_(std::move(fileName)) {}

Win32HookLibrary::~Win32HookLibrary() { Unload(); }

// A full path with LOAD_WITH_ALTERED_SEARCH_PATH: only that one file is
// tried, never the current directory or PATH, and what the library itself
// needs is looked for beside it first.
InputHookLibrary::Loading Win32HookLibrary::Load() {
  if (library_) {
    return Loading::Loaded;
  }
  const std::wstring folder = ToWide(Win32KnownFolders().ExecutableFolder());
  if (folder.empty()) {
    return Loading::Missing;
  }
  library_.reset(LoadLibraryExW((folder + fileName_).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!library_) {
    return Loading::Missing;
  }
  const auto enableKeyboard = Find<EnableHookEntry>(library_.get(), kEnableKeyboardHookName);
  const auto disableKeyboard = Find<DisableHookEntry>(library_.get(), kDisableKeyboardHookName);
  const auto enableMouse = Find<EnableHookEntry>(library_.get(), kEnableMouseHookName);
  const auto disableMouse = Find<DisableHookEntry>(library_.get(), kDisableMouseHookName);
  if (enableKeyboard == nullptr || disableKeyboard == nullptr || enableMouse == nullptr ||
      disableMouse == nullptr) {
    library_.reset();  // nothing of an incomplete library is ever called
    return Loading::Incomplete;
  }
  enableKeyboard_ = enableKeyboard;
  disableKeyboard_ = disableKeyboard;
  enableMouse_ = enableMouse;
  disableMouse_ = disableMouse;
  return Loading::Loaded;
}

void Win32HookLibrary::Unload() {
  if (!library_) {
    return;
  }
  disableKeyboard_();
  disableMouse_();
  enableKeyboard_ = nullptr;
  disableKeyboard_ = nullptr;
  enableMouse_ = nullptr;
  disableMouse_ = nullptr;
  library_.reset();
  mouseCallback_.reset();
  keyboardCallback_.reset();
}

void Win32HookLibrary::EnableMouseHook(MouseHookCallback callback) {
  if (enableMouse_ == nullptr) {
    return;
  }
  mouseCallback_ = std::make_shared<const MouseHookCallback>(std::move(callback));
  enableMouse_(&MouseTrampoline, this, 0);
}

void Win32HookLibrary::DisableMouseHook() {
  if (disableMouse_ != nullptr) {
    disableMouse_();
  }
  mouseCallback_.reset();
}

void Win32HookLibrary::EnableKeyboardHook(KeyboardHookCallback callback) {
  if (enableKeyboard_ == nullptr) {
    return;
  }
  keyboardCallback_ = std::make_shared<const KeyboardHookCallback>(std::move(callback));
  enableKeyboard_(&KeyboardTrampoline, this, 0);
}

void Win32HookLibrary::DisableKeyboardHook() {
  if (disableKeyboard_ != nullptr) {
    disableKeyboard_();
  }
  keyboardCallback_.reset();
}

void __stdcall Win32HookLibrary::MouseTrampoline(void* self, int code, WPARAM message, const void* event,
                                                 BOOL* blocked) {
  const auto& raw = *static_cast<const MSLLHOOKSTRUCT*>(event);
  Deliver(static_cast<Win32HookLibrary*>(self)->mouseCallback_, code, message,
          LowLevelMouseEvent{raw.pt.x, raw.pt.y, raw.mouseData, raw.flags, raw.time}, blocked);
}

void __stdcall Win32HookLibrary::KeyboardTrampoline(void* self, int code, WPARAM message, const void* event,
                                                    BOOL* blocked) {
  const auto& raw = *static_cast<const KBDLLHOOKSTRUCT*>(event);
  Deliver(static_cast<Win32HookLibrary*>(self)->keyboardCallback_, code, message,
          LowLevelKeyboardEvent{raw.vkCode, raw.scanCode, raw.flags, raw.time}, blocked);
}

}  // namespace monitor::win32
