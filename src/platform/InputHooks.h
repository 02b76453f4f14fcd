// The system-wide low-level input hooks, reached through the hook library
// "xaHook.dll" beside the executable.
#pragma once

#include <cstdint>
#include <functional>

namespace monitor {

// The system's low-level mouse event (MSLLHOOKSTRUCT).
struct LowLevelMouseEvent {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::uint32_t mouseData = 0;  // wheel delta or extra button in the high word
  std::uint32_t flags = 0;      // bit 0: injected
  std::uint32_t time = 0;       // milliseconds since the system started
};

// The system's low-level keyboard event (KBDLLHOOKSTRUCT).
struct LowLevelKeyboardEvent {
  std::uint32_t vkCode = 0;
  std::uint32_t scanCode = 0;
  std::uint32_t flags = 0;  // bit 0: extended key, bit 4: injected, bit 7: released
  std::uint32_t time = 0;
};

// A hook callback: the hook code, the window message, the event, and
// Blocked (false on entry), which swallows the event when set.
using MouseHookCallback =
    std::function<void(int code, std::uint32_t message, const LowLevelMouseEvent& event, bool& blocked)>;
using KeyboardHookCallback =
    std::function<void(int code, std::uint32_t message, const LowLevelKeyboardEvent& event, bool& blocked)>;

class InputHookLibrary {
 public:
  virtual ~InputHookLibrary() = default;

  enum class Loading {
    Loaded,
    Missing,     // the library cannot be found or loaded
    Incomplete,  // it lacks one of the four entry points; it is unloaded again
  };
  virtual Loading Load() = 0;
  virtual void Unload() = 0;

  // Each replaces the previous hook of its kind. Callbacks come on the
  // thread that enabled the hook, which must pump messages.
  virtual void EnableMouseHook(MouseHookCallback callback) = 0;
  virtual void DisableMouseHook() = 0;
  virtual void EnableKeyboardHook(KeyboardHookCallback callback) = 0;
  virtual void DisableKeyboardHook() = 0;
};

// Which keys are held now (the modifiers of a key combination).
class KeyboardState {
 public:
  virtual ~KeyboardState() = default;

  virtual bool IsKeyDown(std::uint16_t virtualKey) = 0;
  // The time of the last input the system received from any device, in
  // milliseconds since it started.
  virtual std::uint32_t LastInputTime() = 0;
};

}  // namespace monitor
