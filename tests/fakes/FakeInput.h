// Fakes of the input side: a hook library whose hooks the test fires, the
// keyboard's held keys, an injector that records, and the overlay window.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/InputHooks.h"
#include "platform/InputInjector.h"
#include "platform/OverlayWindow.h"

namespace monitor::fakes {

class FakeHookLibrary final : public InputHookLibrary {
 public:
  Loading Load() override {
    ++loads;
    loaded = loading == Loading::Loaded;
    return loading;
  }
  void Unload() override {
    loaded = false;
    unloadedWithHooks = unloadedWithHooks || mouse || keyboard;
  }
  void EnableMouseHook(MouseHookCallback callback) override {
    mouse = std::move(callback);
    ++mouseEnables;
  }
  void DisableMouseHook() override { mouse = nullptr; }
  void EnableKeyboardHook(KeyboardHookCallback callback) override { keyboard = std::move(callback); }
  void DisableKeyboardHook() override { keyboard = nullptr; }

  // Fires the mouse hook as the system would; returns Blocked.
  bool Mouse(std::uint32_t message, LowLevelMouseEvent event) {
    bool blocked = false;
    if (mouse) {
      mouse(0, message, event, blocked);
    }
    return blocked;
  }
  bool Key(std::uint32_t message, LowLevelKeyboardEvent event, int code = 0) {
    bool blocked = false;
    if (keyboard) {
      keyboard(code, message, event, blocked);
    }
    return blocked;
  }

  Loading loading = Loading::Loaded;
  bool loaded = false;
  bool unloadedWithHooks = false;
  int loads = 0;
  int mouseEnables = 0;
  MouseHookCallback mouse;
  KeyboardHookCallback keyboard;
};

class FakeKeyboardState final : public KeyboardState {
 public:
  bool IsKeyDown(std::uint16_t virtualKey) override { return held.contains(virtualKey); }
  std::uint32_t LastInputTime() override { return lastInput; }

  std::set<std::uint16_t> held;
  std::uint32_t lastInput = 0;
};

// Records each injected event as text: "key 65 down", "key 166 up ext",
// "button 0 down", "wheel -120".
class RecordingInjector final : public InputInjector {
 public:
  bool Key(std::uint8_t virtualKey, bool down, bool extended) override {
    return Record("key " + std::to_string(virtualKey) + (down ? " down" : " up") + (extended ? " ext" : ""));
  }
  bool Button(MouseButton button, bool down) override {
    return Record("button " + std::to_string(static_cast<int>(button)) + (down ? " down" : " up"));
  }
  bool Wheel(int delta) override { return Record("wheel " + std::to_string(delta)); }

  std::vector<std::string> events;
  std::optional<std::size_t> refuseEvent;  // the n-th event (from 0) is refused

 private:
  bool Record(std::string event) {
    const bool refused = refuseEvent && attempts_++ == *refuseEvent;
    if (!refuseEvent || !refused) {
      events.push_back(std::move(event));
    } else {
      events.push_back("refused " + event);
    }
    return !refused;
  }
  std::size_t attempts_ = 0;
};

class FakeOverlayWindow final : public OverlayWindow {
 public:
  void Show(int left, int top, std::u16string_view shownTitle) override {
    shown = true;
    place = {left, top};
    title = shownTitle;
    lines.clear();
  }
  void AddLine(std::u16string_view text) override { lines.emplace_back(text); }
  void BringToTop() override { ++broughtToTop; }
  void Close() override { shown = false; }

  bool shown = false;
  std::optional<std::pair<int, int>> place;
  std::u16string title;
  std::vector<std::u16string> lines;
  int broughtToTop = 0;
};

class FakeScreen final : public Screen {
 public:
  ScreenSize PrimaryScreenSize() override { return size; }
  std::u16string ForegroundWindowTitle() override { return foregroundTitle; }

  ScreenSize size{1280, 1024};
  std::u16string foregroundTitle = u"Untitled - Notepad";
};

}  // namespace monitor::fakes
